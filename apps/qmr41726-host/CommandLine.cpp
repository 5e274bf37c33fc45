#include "CommandLine.h"

#include <qmr41726/QmrVersion.h>
#include <qmr41726/data/load/FileKind.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>
#include <qmr41726/sql/SourceLoader.h>
#include <qmr41726/sql/SqlLoader.h>

#include <QCommandLineParser>
#include <QMap>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>

using namespace qmr;

namespace {

const char* const kDescription =
    "Loads the search screen package, hands it a data set and a flag, calls its entry point once\n"
    "and prints what the call left behind as one JSON object on stdout. With --repeat it calls the\n"
    "entry point again each time a call returns and prints one JSON object a line per call.";

// What the option list cannot say: the key-script steps, the exit statuses and Qt's own options.
const char* const kEpilogue = R"(
Key script (--keys), steps separated by spaces:
  touch:NAME     press and release on the centre of component NAME
  title:N        touch the title of grid column N (from 0)
  row:N          touch the Nth visible grid row (from 0)
  key:NAME       press and release a physical key on the focused control; NAME is Enter Esc
                 Delete Backspace Tab Shift CapsLock F4 Up Down Left Right Home End PageUp
                 PageDown, optionally after Ctrl+ Alt+ Shift+
  type:TEXT      type characters on the physical keyboard (UTF-8); put text with spaces in
                 double quotes: type:"ab cd"
  hold:Shift     press Shift and keep it held for the keys that follow
  release:Shift  let the held Shift go
  shot:FILE      save a PNG image of the screen
  wait:MS        let the screen run for MS milliseconds
  probe          record a snapshot of the screen in "probes" (the first 10000 of a call;
                 "probesDropped" counts the rest, "timingsDropped" the step timings past 10000)
A touch: naming no component of the screen, or a title: past its last column, stops the run
before the first step (exit status 2). A step that cannot act on the screen as it is then (a
row: past the visible rows, a shot: that cannot be written or names the report's own file) is
reported in "errors" and the script goes on. Once the screen has closed, the remaining steps are
skipped (said on stderr).

Repeated calls (--repeat N): every call gets the same loaded data set, put back first as it was
when loaded (filter, Filtered, index, current row). Each report is one line of JSON (JSON Lines),
written as its call returns, with "call" (from 1) and "source" {"kind", "loaded"}, and with
--timings "reopenMs" (from the last call's return to this screen shown). A key script runs on
across the calls: when a screen closes, the next steps drive the next screen. SIGTERM or SIGINT
closes an open screen as its Exit key does, writes that call's line and ends the run (status 0).
--refresh SECONDS loads the catalogue again in the background that long after the last load; the
new rows take the old ones' place between two calls, and a failed load keeps the old ones (a
warning of the category qmr.host).

Local copy (--cache FILE): every load that succeeds writes its rows to FILE (atomically: the old
copy stays whole until the new one is). When a load fails (a server down, a refused login, a
query error, a missing file), the copy serves instead, with a warning, and each report says so:
"source" {"kind": "cache", "written", "reason"}. A copy that is missing, damaged, of another
format or older than --cache-max-age HOURS (default 168) is refused, and the run stops naming the
load's error and the copy's (status 2).

Qt's own options (-platform NAME, -plugin NAME, ...) are passed on to Qt.
Without a display the host runs on the offscreen platform and needs --keys.

Exit status:
  0  the call returned (every call of --repeat, or a stop by SIGTERM or SIGINT)
  1  the host could not run the screen: the package did not load, its entry point failed, or the
     host's own folder could not be found (message on stderr)
  2  usage or data error: an option, the key script or the data was refused, also when the local
     copy could not serve instead (message on stderr, nothing on stdout)
  3  the script ran out while a screen was still open (the host closes it, reports and makes no
     further call)
)";

/// The range of --load-memory: from a megabyte, below which not even the libraries fit, to a
/// terabyte, past any terminal.
constexpr std::uint64_t kLeastLoadMemory = std::uint64_t(1) << 20;
constexpr std::uint64_t kMostLoadMemory = std::uint64_t(1) << 40;

/// The host's options in the order --help lists them.
void addOptions(QCommandLineParser& parser) {
    // Single-dash words are whole names (-h, or a mistyped -data), never bundles of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
        {"data",
         "CSV file, or SQLite database (.db, .sqlite, .sqlite3) with --query (default: the bundled "
         "product catalogue).",
         "FILE"},
        {"db",
         "Load from a database server instead, with --query: postgresql://[user@][host][:port]/dbname"
         "[?host=SOCKET_FOLDER&sslmode=...], mysql://[user@]host[:port]/dbname or odbc:DSN; the password is "
         "read from --db-password-file, else the file QMR_DB_PASSWORD_FILE names, else the systemd "
         "credential db-password, else the environment variable QMR_DB_PASSWORD (which the same user's "
         "processes can read).",
         "URL"},
        {"db-password-file",
         "Read the database password from FILE (one line; keep it readable by its reader alone).", "FILE"},
        {"query", "The rows to load from the SQLite database or the server.", "SQL"},
        {"query-timeout",
         QString("Stop a query that runs longer than SECONDS, as an error (default %1; 0 for no limit).")
             .arg(LoadLimits::kDefaultTimeoutSeconds),
         "SECONDS"},
        {"load-memory",
         QString("Refuse a load (the data, or the local copy) whose rows would take more than BYTES of "
                 "memory, from %1 to %2 (default: half the memory the host may use, its cgroup's limit or "
                 "else the memory available, at most %3); each value takes at most %4 bytes.")
             .arg(kLeastLoadMemory)
             .arg(kMostLoadMemory)
             .arg(LoadLimits::kDefaultMaxBytes)
             .arg(LoadLimits::kMaxValueBytes),
         "BYTES"},
        {"filter", "The data set's filter text before the call.", "EXPR"},
        {"filter-file", "Read the filter text from FILE (for a filter too long for a command line).", "FILE"},
        {"filtered", "Switch the data set's filter on before the call."},
        {"plain", "Hand over a plain data set (no indexes) instead of a client data set."},
        {"flag", "Element 1 of the parameter list (default N; S drops the data set's filter).", "TEXT"},
        {"params", "Pass only the first N elements of the parameter list (0, 1 or 2; default 2).", "N"},
        {"bogus-dataset", "Element 0 holds an integer that is no live data set."},
        {"keys", "Steps run once the screen is shown (see below).", "SCRIPT"},
        {"keys-file", "Read the key script from FILE (for a script too long for a command line).", "FILE"},
        {"timings", "Report each step's time in milliseconds in \"timings\"."},
        {"repeat",
         "Call the screen N times on the one loaded data set, each call starting as the first did, "
         "with one JSON report a line; 0 calls it until SIGTERM or SIGINT.",
         "N"},
        {"refresh",
         "With --repeat: load the data again from the same source SECONDS after the last load, while "
         "the screen stays in use; the new rows serve from the next call on.",
         "SECONDS"},
        {"cache",
         "Keep a local copy of the catalogue in FILE, written after every load; when a load fails, "
         "the copy serves instead.",
         "FILE"},
        {"cache-max-age",
         "With --cache: refuse a local copy written more than HOURS ago (default 168, a week).", "HOURS"},
        {"package",
         "The screen package to load (default: $QMR41726_PACKAGE, else the one beside the host, else the "
         "installed one).",
         "FILE"},
        {"lang",
         "The language of the screen's texts: pt_BR, es or en (default: the locale's, from LC_ALL, "
         "LC_MESSAGES or LANG); a language without a catalogue, or the C locale, leaves the texts as laid "
         "out.",
         "LANG"},
        {"fit",
         "How the screen fits the display: auto scales it down, as a whole, when the display is smaller "
         "than the screen (800 x 480 panels: about 0.86); off shows it as designed (640 x 552); a factor "
         "from 0.25 to 4 shows it at that scale (default: auto).",
         "auto|off|FACTOR"},
        {{"h", "help"}, "Show this text."},
        {"version", "Show the host's version."},
    });
}

/// An unknown option as the user wrote it, with the dashes given.
QString spelled(const QString& name, const QStringList& arguments) {
    const QString longForm = "--" + name;
    const bool asLong = std::any_of(arguments.begin(), arguments.end(), [&](const QString& argument) {
        return argument == longForm || argument.startsWith(longForm + '=');
    });
    return asLong ? longForm : "-" + name;
}

/// Why the parser refused the arguments, naming the option.
std::string parseError(const QCommandLineParser& parser, const QStringList& arguments) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return "unknown option " + nameExcerpt(spelled(unknown.first(), arguments).toStdString(),
                                               kNameExcerptBytes, TextEncoding::Utf8);
    // "Missing value after '--data'." and the like; Qt's words quote the argument as given.
    return nameExcerpt(parser.errorText().toStdString(), kPathExcerptBytes, TextEncoding::Utf8);
}

/// An option given twice is a mistake, not a choice of the later one.
void refuseRepeats(const QCommandLineParser& parser) {
    QMap<QString, int> counts;
    for (const QString& name : parser.optionNames()) {
        if (++counts[name] == 2)
            throw UsageError(std::string("option ") + (name.size() == 1 ? "-" : "--") + name.toStdString() +
                             " is given twice");
    }
}

TFit fitValue(const QString& value) {
    try {
        return TFit::fromText(value.toStdString());
    } catch (const EConvertError& e) {
        throw UsageError("--fit " + std::string(e.what()));
    }
}

// A whole number from `least` to `most`, or UsageError with `what` the option takes.
int wholeNumber(const QString& value, int least, int most, const std::string& what) {
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < least || number > most)
        throw UsageError(what + ", not " + quotedExcerpt(value.toStdString(), TextEncoding::Utf8));
    return number;
}

// A whole number of seconds from 0 to a day.
int timeoutValue(const QString& value) {
    return wholeNumber(value, 0, 86400,
                       "--query-timeout takes a whole number of seconds from 0 (no limit) to 86400");
}

std::uint64_t loadMemoryValue(const QString& value) {
    bool ok = false;
    const qulonglong bytes = value.toULongLong(&ok);
    if (!ok || bytes < kLeastLoadMemory || bytes > kMostLoadMemory)
        throw UsageError("--load-memory takes a whole number of bytes from " +
                         std::to_string(kLeastLoadMemory) + " to " + std::to_string(kMostLoadMemory) +
                         ", not " + quotedExcerpt(value.toStdString(), TextEncoding::Utf8));
    return bytes;
}

int repeatValue(const QString& value) {
    return wholeNumber(value, 0, std::numeric_limits<int>::max(),
                       "--repeat takes a whole number of calls, 0 for calls until stopped");
}

int paramsValue(const QString& value) {
    if (value != "0" && value != "1" && value != "2")
        throw UsageError("--params takes 0, 1 or 2 (elements of the parameter list to pass), not " +
                         quotedExcerpt(value.toStdString(), TextEncoding::Utf8));
    return value.toInt();
}

// A path or URL as messages show it.
std::string pathText(const std::string& path) {
    return nameExcerpt(path, kPathExcerptBytes, TextEncoding::Utf8);
}

// A server's rows come from --db and --query alone.
void checkDatabaseOptions(const HostOptions& options, bool dataGiven, bool queryGiven) {
    if (dataGiven)
        throw UsageError("--db and --data name two sources of rows; give one");
    if (sourceKindOf(options.databaseUrl) != SourceKind::Server)
        throw UsageError("--db " + urlWithoutPassword(options.databaseUrl) +
                         " is no server's URL (postgresql://..., mysql://..., odbc:...)");
    if (!queryGiven)
        throw UsageError("--db " + urlWithoutPassword(options.databaseUrl) +
                         " needs the rows to load: give --query SQL");
}

void checkCombinations(const HostOptions& options, bool dataGiven, bool queryGiven) {
    if (!options.databaseUrl.empty())
        return checkDatabaseOptions(options, dataGiven, queryGiven);
    const bool sqlite = sourceKindOf(options.dataPath) == SourceKind::SqliteFile;
    if (sqlite && !queryGiven)
        throw UsageError("--data " + pathText(options.dataPath) +
                         " is an SQLite database: give the rows to load with --query SQL");
    if (!sqlite && queryGiven)
        throw UsageError(
            std::string(
                "--query needs --db URL or --data naming an SQLite database (.db, .sqlite, .sqlite3)") +
            (dataGiven ? ", not " + pathText(options.dataPath) : ""));
    if (options.dataPath.empty())
        throw UsageError("--data needs a file name");
}

// A text given inline or in a file, never both. The file must be a regular file of at most
// 16 MiB: a command line stops at 128 KiB an argument, and this is where longer texts come in.
std::optional<std::string> textOption(const QCommandLineParser& parser, const QString& name) {
    const QString fileOption = name + "-file";
    if (parser.isSet(name) && parser.isSet(fileOption))
        throw UsageError("--" + name.toStdString() + " and --" + fileOption.toStdString() +
                         " both give the text; give one");
    if (parser.isSet(name))
        return parser.value(name).toStdString();
    if (!parser.isSet(fileOption))
        return std::nullopt;
    const std::string path = parser.value(fileOption).toStdString();
    const std::string where = "--" + fileOption.toStdString() + " " + pathText(path);
    if (const FileKindProblem problem = fileKindProblem(path))
        throw UsageError(problem.about(where));
    constexpr std::size_t kMaxTextFile = std::size_t(16) << 20;
    const auto tooLarge = [&] {
        return UsageError(where + ": the file is larger than " + std::to_string(kMaxTextFile) + " bytes");
    };
    std::error_code error;
    if (std::filesystem::file_size(path, error) > kMaxTextFile)
        throw tooLarge();
    // The size checked above is no promise about what the read finds: a file someone keeps
    // appending to would otherwise be read for as long as it grows. One byte past the bound is
    // enough to know it is too large.
    std::ifstream in(path, std::ios::binary);
    std::string text;
    char chunk[1 << 16];
    while (in && text.size() <= kMaxTextFile) {
        in.read(chunk, std::streamsize(std::min(sizeof chunk, kMaxTextFile + 1 - text.size())));
        text.append(chunk, std::size_t(in.gcount()));
    }
    if (!in.is_open() || in.bad())
        throw UsageError(where + ": cannot read the file");
    if (text.size() > kMaxTextFile)
        throw tooLarge();
    return text;
}

/// The options' values, once the parser has accepted the command line.
HostOptions optionsOf(const QCommandLineParser& parser, const std::string& defaultData) {
    HostOptions options;
    options.dataPath = parser.isSet("data") ? parser.value("data").toStdString() : defaultData;
    options.databaseUrl = parser.value("db").toStdString();
    options.query = parser.value("query").toStdString();
    if (parser.isSet("db-password-file")) {
        if (!parser.isSet("db"))
            throw UsageError("--db-password-file needs --db: only a database server takes a password");
        options.passwordFile = parser.value("db-password-file").toStdString();
    }
    if (parser.isSet("query-timeout"))
        options.queryTimeoutSeconds = timeoutValue(parser.value("query-timeout"));
    if (parser.isSet("load-memory"))
        options.loadMemoryBytes = loadMemoryValue(parser.value("load-memory"));
    if (parser.isSet("flag"))
        options.flag = parser.value("flag").toStdString();
    options.filter = textOption(parser, "filter");
    options.filtered = parser.isSet("filtered");
    options.plain = parser.isSet("plain");
    if (parser.isSet("params"))
        options.params = paramsValue(parser.value("params"));
    options.bogusDataset = parser.isSet("bogus-dataset");
    options.keys = textOption(parser, "keys");
    options.timings = parser.isSet("timings");
    if (parser.isSet("repeat"))
        options.repeat = repeatValue(parser.value("repeat"));
    if (parser.isSet("refresh")) {
        if (!options.repeat)
            throw UsageError("--refresh needs --repeat: a single call never loads the data again");
        options.refreshSeconds = wholeNumber(parser.value("refresh"), 1, 86400 * 7,
                                             "--refresh takes a whole number of seconds from 1 to 604800");
    }
    if (parser.isSet("cache")) {
        options.cachePath = parser.value("cache").toStdString();
        if (options.cachePath->empty())
            throw UsageError("--cache needs a file name");
    }
    if (parser.isSet("cache-max-age")) {
        if (!options.cachePath)
            throw UsageError("--cache-max-age needs --cache: without a local copy there is no age to check");
        options.cacheMaxAgeHours =
            wholeNumber(parser.value("cache-max-age"), 1, 24 * 3650,
                        "--cache-max-age takes a whole number of hours from 1 to 87600");
    }
    if (parser.isSet("package"))
        options.packagePath = parser.value("package").toStdString();
    if (parser.isSet("lang"))
        options.language = parser.value("lang").toStdString();
    if (parser.isSet("fit"))
        options.fit = fitValue(parser.value("fit"));
    checkCombinations(options, parser.isSet("data"), parser.isSet("query"));
    return options;
}

} // namespace

HostOptions parseCommandLine(const QStringList& arguments, const std::string& defaultData) {
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments))
        throw UsageError(parseError(parser, arguments));
    refuseRepeats(parser);
    // "--repeat --keys ..." takes --keys for the count: the count left out is the mistake to name,
    // not the script that then stands alone.
    if (parser.isSet("repeat"))
        repeatValue(parser.value("repeat"));
    if (const QStringList stray = parser.positionalArguments(); !stray.isEmpty())
        throw UsageError("unexpected argument " +
                         quotedExcerpt(stray.first().toStdString(), TextEncoding::Utf8) +
                         " (options start with --)");
    if (parser.isSet("help") || parser.isSet("version")) {
        HostOptions options;
        options.help = parser.isSet("help");
        options.version = parser.isSet("version");
        return options;
    }
    return optionsOf(parser, defaultData);
}

std::string optionTextToAnsi(const std::string& text, const char* option) {
    try {
        return utf8ToAnsi(text);
    } catch (const Exception& e) {
        throw UsageError(std::string(option) + " " + quotedExcerpt(text, TextEncoding::Utf8) + ": " +
                         e.Message());
    }
}

std::string usageText() {
    QCommandLineParser parser;
    addOptions(parser);
    parser.setApplicationDescription(kDescription);
    return parser.helpText().toStdString() + kEpilogue;
}

std::string versionText() {
    return std::string("qmr41726-host ") + QMR41726_VERSION_STRING + " (runtime ABI " +
           std::to_string(QMR_RUNTIME_ABI_VERSION) + ", Qt " + qVersion() + ")\n";
}

#include "CommandLine.h"

#include "host/rtl/Exception.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

using namespace qmr;

namespace {

using ValueSetter = std::function<void(HostOptions&, const std::string&)>;
using FlagSetter = std::function<void(HostOptions&)>;

/// Options that take a value, by name.
const std::map<std::string, ValueSetter>& valueOptions() {
    static const std::map<std::string, ValueSetter> options{
        {"--data", [](HostOptions& o, const std::string& v) { o.dataPath = v; }},
        {"--db", [](HostOptions& o, const std::string& v) { o.databaseUrl = v; }},
        {"--query", [](HostOptions& o, const std::string& v) { o.query = v; }},
        {"--flag", [](HostOptions& o, const std::string& v) { o.flag = v; }},
        {"--filter", [](HostOptions& o, const std::string& v) { o.filter = v; }},
        {"--keys", [](HostOptions& o, const std::string& v) { o.keys = v; }},
        {"--package", [](HostOptions& o, const std::string& v) { o.packagePath = v; }},
        {"--params",
         [](HostOptions& o, const std::string& v) {
             if (v != "0" && v != "1" && v != "2")
                 throw UsageError(
                     "--params takes 0, 1 or 2 (elements of the parameter list to pass), not \"" + v + "\"");
             o.params = v[0] - '0';
         }},
    };
    return options;
}

/// Options that are switches, by name.
const std::map<std::string, FlagSetter>& flagOptions() {
    static const std::map<std::string, FlagSetter> options{
        {"--filtered", [](HostOptions& o) { o.filtered = true; }},
        {"--plain", [](HostOptions& o) { o.plain = true; }},
        {"--bogus-dataset", [](HostOptions& o) { o.bogusDataset = true; }},
        {"--timings", [](HostOptions& o) { o.timings = true; }},
        {"--help", [](HostOptions& o) { o.help = true; }},
        {"-h", [](HostOptions& o) { o.help = true; }},
    };
    return options;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A server's rows come from --db and --query alone.
void checkDatabaseOptions(const HostOptions& options, bool dataGiven, bool queryGiven) {
    if (dataGiven)
        throw UsageError("--db and --data name two sources of rows; give one");
    if (!queryGiven)
        throw UsageError("--db " + options.databaseUrl + " needs the rows to load: give --query SQL");
}

void checkCombinations(const HostOptions& options, bool dataGiven, bool queryGiven) {
    if (!options.databaseUrl.empty())
        return checkDatabaseOptions(options, dataGiven, queryGiven);
    const bool sqlite = isSqlitePath(options.dataPath);
    if (sqlite && !queryGiven)
        throw UsageError("--data " + options.dataPath +
                         " is an SQLite database: give the rows to load with --query SQL");
    if (!sqlite && queryGiven)
        throw UsageError(
            std::string(
                "--query needs --db URL or --data naming an SQLite database (.db, .sqlite, .sqlite3)") +
            (dataGiven ? ", not " + options.dataPath : ""));
    if (options.dataPath.empty())
        throw UsageError("--data needs a file name");
}

} // namespace

bool isSqlitePath(const std::string& path) {
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; });
    return endsWith(lower, ".db") || endsWith(lower, ".sqlite") || endsWith(lower, ".sqlite3");
}

HostOptions parseCommandLine(const std::vector<std::string>& arguments, const std::string& defaultData) {
    HostOptions options;
    options.dataPath = defaultData;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> inlineValue;
        if (const auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.resize(equals);
        }
        if (!seen.insert(name).second)
            throw UsageError("option " + name + " is given twice");
        if (const auto flag = flagOptions().find(name); flag != flagOptions().end()) {
            if (inlineValue)
                throw UsageError("option " + name + " takes no value");
            flag->second(options);
            continue;
        }
        const auto option = valueOptions().find(name);
        if (option == valueOptions().end())
            throw UsageError(name.rfind("-", 0) == 0
                                 ? "unknown option " + name
                                 : "unexpected argument \"" + name + "\" (options start with --)");
        if (!inlineValue && i + 1 >= arguments.size())
            throw UsageError("option " + name + " needs a value");
        option->second(options, inlineValue ? *inlineValue : arguments[++i]);
    }
    if (!options.help)
        checkCombinations(options, seen.count("--data") != 0, seen.count("--query") != 0);
    return options;
}

std::string optionTextToAnsi(const std::string& text, const char* option) {
    try {
        return utf8ToAnsi(text);
    } catch (const Exception& e) {
        throw UsageError(std::string(option) + " \"" + text + "\": " + e.Message());
    }
}

std::string usageText() {
    return R"(Usage: qmr41726-host [options]

Loads the search screen package, hands it a data set and a flag, calls its entry point once
and prints what the call left behind as one JSON object on stdout.

Data:
  --data FILE        CSV file, or SQLite database (.db, .sqlite, .sqlite3) with --query
                     (default: the bundled product catalogue)
  --db URL           load from a database server instead, with --query: postgresql://[user@][host]
                     [:port]/dbname[?host=SOCKET_FOLDER], mysql://[user@]host[:port]/dbname or
                     odbc:DSN; the password is read from the environment variable QMR_DB_PASSWORD
  --query SQL        the rows to load from the SQLite database or the server
  --filter EXPR      the data set's filter text before the call
  --filtered         switch the data set's filter on before the call
  --plain            hand over a plain data set (no indexes) instead of a client data set

Parameters of the call:
  --flag TEXT        element 1 of the parameter list (default N; S drops the data set's filter)
  --params N         pass only the first N elements (0, 1 or 2; default 2)
  --bogus-dataset    element 0 holds an integer that is no live data set

Script:
  --keys SCRIPT      steps run once the screen is shown, separated by spaces:
                       touch:NAME   press and release on the centre of component NAME
                       title:N      touch the title of grid column N (from 0)
                       row:N        touch the Nth visible grid row (from 0)
                       key:NAME     press and release a physical key on the focused control;
                                    NAME is Enter Esc Delete Backspace Tab Shift CapsLock F4 Up
                                    Down Left Right Home End PageUp PageDown, optionally after
                                    Ctrl+ Alt+ Shift+
                       type:TEXT    type characters on the physical keyboard (UTF-8); put text
                                    with spaces in double quotes: type:"ab cd"
                       shot:FILE    save a PNG image of the screen
                       wait:MS      let the screen run for MS milliseconds
                       probe        record a snapshot of the screen in "probes"
                     A touch: naming no component of the screen, or a title: past its
                     last column, stops the run before the first step (exit status 2).
                     A step that cannot act on the screen as it is then (a row: past the
                     visible rows, a shot: that cannot be written) is reported in "errors"
                     and the script goes on. Once the screen has closed, the remaining
                     steps are skipped (said on stderr).
  --timings          report each step's time in milliseconds in "timings"
  --package FILE     the screen package to load (default: $QMR41726_PACKAGE, else the one
                     beside the host, else the installed one)
  --help             show this text

Exit status: 0 the call returned; 2 usage or data error (message on stderr, nothing on stdout);
3 the script ran out while the screen was still open (the host closes it and reports).
Without a display the host runs on the offscreen platform and needs --keys.
)";
}

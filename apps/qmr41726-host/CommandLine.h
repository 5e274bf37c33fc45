#pragma once
// The host application's command line, read with Qt's QCommandLineParser once QApplication has
// taken Qt's own options (-platform, -plugin, ...) out of it. The options are checked as a whole
// before any window or data set exists, so a usage error prints nothing on stdout.

#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/ui/TFit.h>

#include <QStringList>

#include <optional>
#include <stdexcept>
#include <string>

/// What the command line asks the host to do.
struct HostOptions {
    /// CSV file, or SQLite database (.db, .sqlite, .sqlite3) read with `query`.
    std::string dataPath;
    /// Database server URL (postgresql://, mysql://, odbc:), read with `query` instead of dataPath.
    std::string databaseUrl;
    std::string query;
    /// The file holding the server's password (--db-password-file).
    std::optional<std::string> passwordFile;
    /// Seconds a query (--query) may run before it is stopped; 0 for no limit.
    int queryTimeoutSeconds = qmr::LoadLimits::kDefaultTimeoutSeconds;
    /// Bytes of memory one load may take (--load-memory); without it, qmr::defaultLoadMemory().
    std::optional<std::uint64_t> loadMemoryBytes;
    /// Element 1 of the parameter list (UTF-8 here; the host converts it).
    std::string flag = "N";
    std::optional<std::string> filter;
    bool filtered = false;
    /// Hand over a plain data set instead of a client data set.
    bool plain = false;
    /// How many elements of the parameter list to pass (2 = all).
    int params = 2;
    /// Element 0 holds an integer that is no live data set.
    bool bogusDataset = false;
    std::optional<std::string> keys;
    /// The language of the screen's texts ("pt_BR", "es", "en"); without it, the locale's.
    std::optional<std::string> language;
    /// How the screen fits the display: scaled down when larger (the default), as designed, or at
    /// a fixed factor.
    qmr::TFit fit;
    bool timings = false;
    /// Call the screen this many times on the one loaded catalogue (0: until SIGTERM or SIGINT),
    /// one compact JSON report a line; absent: one call and one indented report.
    std::optional<int> repeat;
    /// With repeat: load the catalogue again this many seconds after the last load, between calls.
    std::optional<int> refreshSeconds;
    /// The catalogue's local copy: written after every load, served when a load fails.
    std::optional<std::string> cachePath;
    /// A local copy older than this many hours is refused.
    int cacheMaxAgeHours = 168;
    bool help = false;
    bool version = false;
    /// The screen package to load instead of the one the host finds itself.
    std::optional<std::string> packagePath;
};

/// A command line the host cannot run; the message says what and which option.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Parses the arguments, the program name first (QCoreApplication::arguments()). `defaultData` is
/// the bundled catalogue, used when --data is not given. Raises UsageError for an unknown or
/// repeated option, a missing or bad value, a stray argument, or options that do not go together.
HostOptions parseCommandLine(const QStringList& arguments, const std::string& defaultData);

/// An option's text (UTF-8) in the data set's code page, Windows-1252. UsageError naming the
/// option when the text holds a character the code page has no byte for.
std::string optionTextToAnsi(const std::string& text, const char* option);

/// The text of --help.
std::string usageText();
/// The text of --version.
std::string versionText();

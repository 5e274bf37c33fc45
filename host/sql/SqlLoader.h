#pragma once
// Loading a data set's rows from a database server through Qt SQL (PostgreSQL, or the server any
// other Qt SQL driver reaches). Like the file loaders, a load either succeeds whole
// or raises EDatabaseError naming the source, row and column; nothing is half-loaded.

#include <qmr41726/QmrSqlExport.h>
#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/data/store/TColumnStore.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QSqlDatabase;

namespace qmr {

/// One database server: where a connection reaches it.
struct QMR_SQL_EXPORT SqlServer {
    /// Host name or address; for PostgreSQL also a Unix socket folder, for MySQL the Unix socket's
    /// path when it is reached through one. Empty for the driver's default.
    std::string host;
    /// -1 for the driver's default.
    int port = -1;

    /// "host:port", "host" without a port, "the default server" with neither.
    std::string text() const;
    /// Equal when host and port are.
    bool operator==(const SqlServer&) const = default;
};

/// PostgreSQL's TLS settings, which libpq reads under the names of its own parameters; each empty
/// for libpq's default.
struct QMR_SQL_EXPORT SqlTls {
    /// sslmode: disable, allow, prefer, require, verify-ca or verify-full.
    std::string mode;
    /// sslrootcert: the certificate authority a server's certificate is checked against.
    std::string rootCertificate;
    /// sslcert and sslkey: the client's certificate and its key, for a server that asks for one.
    ///@{
    std::string certificate;
    std::string key;
    ///@}
};

/// Where the rows live: a Qt SQL driver and what it needs to connect.
struct QMR_SQL_EXPORT SqlConnection {
    /// The Qt SQL driver: "QPSQL", "QMYSQL", "QODBC", ...
    std::string driver;
    /// The servers, tried in order until one takes the connection (PostgreSQL alone takes more
    /// than one); none for the driver's default.
    std::vector<SqlServer> servers;
    /// PostgreSQL: which of the servers may serve, as libpq's target_session_attrs (any,
    /// read-write, read-only, primary, standby, prefer-standby); empty for any.
    std::string targetSessionAttrs;
    /// MySQL and MariaDB: the server's Unix socket; empty to connect over TCP.
    std::string socket;
    /// The database name, or for ODBC the data source name (DSN).
    std::string databaseName;
    /// Empty for the driver's default (the login user for PostgreSQL).
    std::string user;
    /// Never part of the URL: it comes from a file, a systemd credential or the environment (see
    /// parseDatabaseUrl).
    std::string password;
    /// Connecting gives up after this many seconds (drivers without the option wait their own time).
    int connectTimeoutSeconds = 10;
    /// The URL the connection was read from, which names the source in error messages (with any
    /// password in it hidden).
    std::string source;
    /// PostgreSQL: how the connection is encrypted and the server checked.
    SqlTls tls;
};

/// Reads a connection from one of
///   `postgresql://[user@][host][:port][,host[:port]...]/dbname[?host=SOCKET_FOLDER]`, read as
///   libpq reads it: several servers are tried in order; the parameters `host` (a Unix socket
///   folder, or a list of hosts), `port` (a list of ports), `connect_timeout=SECONDS`,
///   `target_session_attrs`, and `sslmode`, `sslrootcert`, `sslcert`, `sslkey` (SqlTls) are read;
///   any other is refused by name),
///   `mysql://[user@][host][:port]/dbname[?socket=PATH]` (`socket` is the server's Unix socket),
///   `odbc:DSN`.
/// The password is read from the file QMR_DB_PASSWORD_FILE names, the systemd credential
/// `db-password` ($CREDENTIALS_DIRECTORY/db-password) or the environment variable
/// QMR_DB_PASSWORD, the first of them there is; a URL that holds one is refused, so that it never
/// shows in a process list. Raises EDatabaseError naming the URL (its password hidden) and what is
/// wrong with it.
QMR_SQL_EXPORT SqlConnection parseDatabaseUrl(std::string_view url);
/// The same, the password read first from the file `passwordFile` names when it is not empty (a
/// host's own option for it), then from the places above. The file is read as those are: one line,
/// its trailing line break not part of the password; a file that cannot be read is refused by name.
QMR_SQL_EXPORT SqlConnection parseDatabaseUrl(std::string_view url, const std::string& passwordFile);

/// `url` as a message may quote it: any password it holds replaced by "***", whatever its form
/// (`user:PASSWORD@`, a `password=` or `pwd=` parameter of a URL, of libpq's key=value string or of
/// an ODBC connection string, a malformed URL), and cut to the length messages quote a name at.
QMR_SQL_EXPORT std::string urlWithoutPassword(std::string_view url);

/// Connects, runs `query` (UTF-8) reading forward only, and loads its rows. The query must be
/// exactly one statement that returns rows (PostgreSQL's server parses it before any of it runs;
/// other drivers refuse a semicolon before more text), and it runs inside a read-only transaction
/// (PostgreSQL, MySQL, MariaDB) that is always rolled back, so a load never changes the database.
/// Column types map
/// to field types: integers (and numerics without a fraction of up to 18 digits) to integer, other
/// numbers to float, Booleans, dates and time stamps to date-time, anything else the driver hands
/// over as text to string. A declared text length (`varchar(30)`) is the field's size in
/// characters; text without one is sized to its longest value. NULLs stay null. Text outside
/// Windows-1252, duplicate column names, binary columns and columns the driver cannot describe are
/// refused with the column's name. On PostgreSQL each value is read from the server's own text of
/// it: a time of day loads as that text, with its offset (`timetz`), and a date before the year 1,
/// an endless date (`infinity`) or a number that is not finite is refused naming its row and
/// column, never loaded as another value. The load is held to the default LoadLimits; on PostgreSQL the
/// time limit is also the query's statement_timeout, and the client keeps it by its own clock
/// whatever the server does (the query cancelled, then the connection shut).
QMR_SQL_EXPORT std::shared_ptr<const TColumnStore> loadSqlQuery(const SqlConnection& connection,
                                                                const std::string& query);
/// The same within `limits`.
QMR_SQL_EXPORT std::shared_ptr<const TColumnStore>
loadSqlQuery(const SqlConnection& connection, const std::string& query, const LoadLimits& limits);

/// A server's rows and the server that gave them.
struct QMR_SQL_EXPORT SqlRows {
    /// The rows.
    std::shared_ptr<const TColumnStore> store;
    /// The server the connection reached: of several PostgreSQL servers, the one that took it (its
    /// host or socket folder, and port); for MySQL the host or socket and port the URL names; for
    /// ODBC none (its data source names it).
    SqlServer server;
};

/// loadSqlQuery, which also tells the server that gave the rows.
QMR_SQL_EXPORT SqlRows loadSqlRows(const SqlConnection& connection, const std::string& query,
                                   const LoadLimits& limits);

/// The same over a connection the caller has opened; `sourceName` names it in error messages.
QMR_SQL_EXPORT std::shared_ptr<const TColumnStore>
loadSqlQuery(QSqlDatabase& database, const std::string& query, const std::string& sourceName);
/// The same within `limits`.
QMR_SQL_EXPORT std::shared_ptr<const TColumnStore> loadSqlQuery(QSqlDatabase& database,
                                                                const std::string& query,
                                                                const std::string& sourceName,
                                                                const LoadLimits& limits);

} // namespace qmr

#pragma once
// libpq reached through the connection Qt's PostgreSQL driver opened, for what Qt SQL does not
// expose: the list of servers to try, the server that took the connection, cancelling a query, and
// whether a server answers at all. Whatever else of libpq the loader comes to need (one statement
// only, a value's exact text) belongs here too, on the same terms.
//
// Why through Qt's own connection rather than a libpq connection of ours: Qt's driver already set
// the session up the way the loader reads it (UTF-8, ISO dates), and a connection of our own could
// reach another server of the list than the one Qt's took. QSqlDriver::handle() gives the PGconn*
// of the open connection, so what Qt lacks is asked of libpq on the very session that runs the
// query: the server it reached, the cancel key of its backend, and the rows themselves, read as the
// server's text (PostgresRows), since Qt's driver turns some values into others (a time's offset
// dropped, a BC date's era). libpq itself is a build dependency either way (libpq-dev):
// Qt's driver does not export it.

#include <qmr41726/sql/SqlLoader.h>

#include <QString>

#include <string>

class QSqlDatabase;
struct pg_conn;

namespace qmr {

/// The libpq connection under an open Qt PostgreSQL connection.
class PostgresHandle {
public:
    /// The handle of `database`; none when it is not an open QPSQL connection.
    explicit PostgresHandle(const QSqlDatabase& database);

    explicit operator bool() const { return m_connection != nullptr; }
    /// The server the connection reached: of several tried, the one that took it.
    SqlServer server() const;
    /// Asks the server to stop the query the connection runs; what it answers is not waited for
    /// beyond the request itself.
    void cancelQuery() const;
    /// Why `query` cannot run as a load, empty when it can. The server parses it with the extended
    /// query protocol, which takes exactly one statement, so a text of several is refused before
    /// any of it runs; a statement that returns no columns (COMMIT, END, a SET...) is refused as
    /// well, since a load reads rows and must not end the transaction it runs in, and so is one
    /// with a parameter, which nothing binds. A server's error in the statement (a misspelled
    /// column) is given in the server's words. A statement that can run is left prepared as the
    /// connection's unnamed statement, which loadPostgresRows runs.
    std::string oneStatementProblem(const std::string& query) const;
    /// Sends the server's notices and warnings (RAISE NOTICE in a function the query calls) to the
    /// log category qmr.sql.notice at info level, each cut and escaped as messages quote input,
    /// instead of libpq's default of writing them whole to stderr.
    void logNotices() const;
    /// The libpq connection, for what reads the rows (PostgresRows) and what watches it from another
    /// thread (PostgresDeadline).
    pg_conn* connection() const { return m_connection; }

private:
    pg_conn* m_connection = nullptr;
};

/// The connect options for what QSqlDatabase has no setter for: the port of each server, which of
/// them may serve, the connect timeout, TLS. The hosts go in as one comma-separated host name, which
/// Qt's driver hands to libpq unchanged.
QString postgresConnectOptions(const SqlConnection& connection);
/// The connection's hosts as libpq's comma-separated list.
QString postgresHostList(const SqlConnection& connection);

/// Whether a PostgreSQL server answers at any of the connection's servers, asked with libpq's
/// ping, which needs no login: Qt's driver reports every failed connection alike, with no code.
bool postgresAnswers(const SqlConnection& connection);

} // namespace qmr

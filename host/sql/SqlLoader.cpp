// Loading a query's rows from a Qt SQL connection into a column store. The rows are read forward
// only; on PostgreSQL they are read with libpq on the connection Qt opened, one row at a time and
// each value from the server's own text (PostgresRows), the other drivers' through Qt SQL. Every
// error, including one the server reports half-way through the rows, is raised before the store
// exists. A load is held to its LoadLimits: rows and bytes are counted as they come, the clock is
// read every few rows, and PostgreSQL is told the time limit as the query's statement_timeout, so
// that a query busy without yielding rows is stopped by the server; on PostgreSQL the client keeps
// the limit too, whatever the server does.
//
// A load never writes. On PostgreSQL the query runs in a READ ONLY transaction that is rolled
// back, and only once the server has parsed it as exactly one statement that returns rows; the
// other drivers get no text of several statements.

#include <qmr41726/sql/SqlLoader.h>

#include <qmr41726/data/load/LoadBudget.h>
#include <qmr41726/data/load/TextColumnSizes.h>
#include <qmr41726/rtl/AnsiString.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>
#include <qmr41726/sql/PostgresDeadline.h>
#include <qmr41726/sql/PostgresHandle.h>
#include <qmr41726/sql/PostgresRows.h>
#include <qmr41726/sql/SqlColumnPlan.h>
#include <qmr41726/sql/SqlLoad.h>
#include <qmr41726/sql/UrlRedaction.h>

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>
#include <initializer_list>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

namespace qmr {

namespace {

/// The error number PostgreSQL's ODBC driver gives every connection libpq could not open.
constexpr char kPostgresOdbcConnectFailed[] = "101";

// The driver's words for an error, on one line, cut and escaped: a server function can raise an
// error of megabytes holding any bytes.
std::string errorText(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return nameExcerpt(text.simplified().toStdString(), kForeignTextExcerptBytes, TextEncoding::Utf8);
}

// Why a connection could not be opened: no server answered at the address, or one answered and
// refused the login or the database. PostgreSQL is asked with libpq's ping. MySQL and MariaDB give
// their client's error numbers for a server they did not reach, ODBC drivers an SQLSTATE of class
// 08 or their own numbers. PostgreSQL's ODBC driver gives every failed connection one number, with
// libpq's words: a server that answered and refused is quoted with its message's severity (FATAL),
// which no failure to reach one carries.
LoadErrorKind connectFailureKind(const SqlConnection& connection, const QSqlError& error) {
    if (connection.driver == "QPSQL")
        return postgresAnswers(connection) ? LoadErrorKind::Refused : LoadErrorKind::ServerUnreachable;
    const QString code = error.nativeErrorCode();
    if (connection.driver == "QODBC" && code == QLatin1String(kPostgresOdbcConnectFailed))
        return error.databaseText().contains(QLatin1String("FATAL:")) ? LoadErrorKind::Refused
                                                                      : LoadErrorKind::ServerUnreachable;
    static const QStringList kMysqlUnreached = {"2002", "2003", "2005", "2006", "2013"};
    if (code.isEmpty() || code.startsWith("08") || kMysqlUnreached.contains(code))
        return LoadErrorKind::ServerUnreachable;
    return LoadErrorKind::Refused;
}

/// A named Qt SQL connection that lives as long as this object; Qt keeps connections in a
/// registry by name, and the name here is unique while the object exists.
class ScopedConnection {
public:
    explicit ScopedConnection(const SqlConnection& connection);
    ~ScopedConnection();
    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;

    QSqlDatabase& database() { return m_database; }

private:
    QString m_name;
    QSqlDatabase m_database;
};

// The option string each driver reads its connect timeout (and MySQL its socket) from.
QString connectOptions(const SqlConnection& connection) {
    const QString driver = QString::fromStdString(connection.driver);
    const QString seconds = QString::number(connection.connectTimeoutSeconds);
    if (driver == "QPSQL")
        return postgresConnectOptions(connection);
    if (driver == "QMYSQL" || driver == "QMARIADB") {
        const QString timeout = "MYSQL_OPT_CONNECT_TIMEOUT=" + seconds;
        return connection.socket.empty()
                   ? timeout
                   : timeout + ";UNIX_SOCKET=" + QString::fromStdString(connection.socket);
    }
    if (driver == "QODBC")
        return "SQL_ATTR_LOGIN_TIMEOUT=" + seconds;
    return {};
}

// The server a connection reached: libpq names the one of several that took it; for the other
// drivers it is the one the URL names.
SqlServer serverUsed(const SqlConnection& connection, const QSqlDatabase& database) {
    if (const PostgresHandle handle(database); handle)
        return handle.server();
    if (!connection.socket.empty())
        return {connection.socket, -1};
    return connection.servers.empty() || connection.driver == "QODBC" ? SqlServer{}
                                                                      : connection.servers.front();
}

// Why no connection could be had, naming every server tried when there were several.
std::string connectFailure(const SqlConnection& connection, const QSqlError& error) {
    if (connection.servers.size() < 2)
        return connection.source + ": cannot connect: " + errorText(error);
    std::string tried;
    for (const SqlServer& server : connection.servers)
        tried += (tried.empty() ? "" : ", ") + server.text();
    return connection.source + ": cannot connect to any of the servers tried (" + tried +
           "): " + errorText(error);
}

ScopedConnection::ScopedConnection(const SqlConnection& connection)
    : m_name("qmr-sql-" + QString::number(reinterpret_cast<quintptr>(this), 16)) {
    const QString driver = QString::fromStdString(connection.driver);
    if (!QSqlDatabase::isDriverAvailable(driver))
        throw ELoadError(LoadErrorKind::Refused, connection.source + ": the Qt SQL driver " +
                                                     connection.driver + " is not installed (installed: " +
                                                     QSqlDatabase::drivers().join(", ").toStdString() + ")");
    m_database = QSqlDatabase::addDatabase(driver, m_name);
    if (driver == "QPSQL") {
        // The ports go in the options, one a host.
        m_database.setHostName(postgresHostList(connection));
    } else if (!connection.servers.empty()) {
        m_database.setHostName(QString::fromStdString(connection.servers.front().host));
        m_database.setPort(connection.servers.front().port);
    }
    m_database.setDatabaseName(QString::fromStdString(connection.databaseName));
    m_database.setUserName(QString::fromStdString(connection.user));
    m_database.setPassword(QString::fromStdString(connection.password));
    m_database.setConnectOptions(connectOptions(connection));
}

ScopedConnection::~ScopedConnection() {
    m_database.close();
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

// A value as Qt SQL's driver hands it over, into the load.
void appendQtValue(SqlLoad& load, int column, const QVariant& value) {
    switch (load.readOf(column)) {
    case SqlValueRead::Text:
        return load.appendText(column, value.toString());
    case SqlValueRead::TimeText: {
        const QTime time = value.toTime();
        return load.appendText(column, time.toString(time.msec() ? "hh:mm:ss.zzz" : "hh:mm:ss"));
    }
    case SqlValueRead::Integer: {
        // Drivers hand integers over as numbers, and exact numerics as text so that no digit is
        // lost.
        bool ok = false;
        const qlonglong integer = value.toLongLong(&ok);
        const bool beyondSigned =
            value.typeId() == QMetaType::ULongLong && value.toULongLong() > quint64(INT64_MAX);
        if (!ok || beyondSigned)
            load.failAt(column, quotedExcerpt(value.toString().toStdString(), TextEncoding::Utf8) +
                                    " does not fit an integer field");
        return load.appendInteger(column, integer);
    }
    case SqlValueRead::Float: {
        bool ok = false;
        const double real = value.toDouble(&ok);
        return load.appendFloat(column, ok ? real : std::nan(""), value.toString().toStdString());
    }
    case SqlValueRead::Boolean:
        return load.appendBoolean(column, value.toBool());
    case SqlValueRead::Date:
        return load.appendDateTime(column, value.toDate(), QTime(0, 0));
    case SqlValueRead::DateTime: {
        const QDateTime when = value.toDateTime();
        return load.appendDateTime(column, when.date(), when.time());
    }
    }
}

// The rows of a query Qt SQL ran.
std::shared_ptr<const TColumnStore> loadQtRows(QSqlQuery& query, const QString& driverName,
                                               const std::string& source, LoadBudget& budget) {
    SqlLoad load(source, budget);
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        load.addColumn(record.field(i).name(), planColumn(record.field(i), driverName));
    load.startRows();
    while (query.next()) {
        load.beginRow();
        for (int i = 0; i < load.columnCount(); ++i) {
            if (query.isNull(i))
                load.appendNull(i);
            else
                appendQtValue(load, i, query.value(i));
        }
        load.endRow();
    }
    // A server may fail after the first rows (a division by zero in row 1000): the rows read so far
    // must not pass for the whole result.
    if (query.lastError().isValid())
        load.fail(joined({"the query failed after ", std::to_string(load.rowsRead()),
                          load.rowsRead() == 1 ? " row: " : " rows: ", errorText(query.lastError())}),
                  LoadErrorKind::Refused);
    return load.finish();
}

// PostgreSQL stops the query itself at the time limit, even while it yields no rows. SET LOCAL
// ends with the transaction every load rolls back.
void setServerTimeout(QSqlDatabase& database, const LoadLimits& limits, bool transaction) {
    if (!transaction || limits.timeoutSeconds <= 0 || database.driverName() != QLatin1String("QPSQL"))
        return;
    QSqlQuery set(database);
    set.exec("SET LOCAL statement_timeout = " + QString::number(qint64(limits.timeoutSeconds) * 1000));
}

// Drivers other than PostgreSQL's run what they are given, several statements included (MariaDB's
// client is opened by Qt with multi-statements on), and no parser of theirs is at hand. So a
// semicolon followed by anything but blanks is refused, wherever it stands: a scan that knew each
// dialect's quoting could be misled by the one it got wrong, and a catalogue's query that needs a
// semicolon in a string can write it another way (CHAR(59)).
void refuseSeveralStatements(const std::string& query, const std::string& source) {
    const std::size_t semicolon = query.find(';');
    if (semicolon != std::string::npos && query.find_first_not_of("; \t\r\n", semicolon) != std::string::npos)
        throw ELoadError(LoadErrorKind::Refused,
                         source + ": the query holds a semicolon before more text; a load runs exactly one "
                                  "statement (a semicolon within a string can be written CHAR(59))");
}

// The server's transaction is made read-only before anything runs in it: a function the query
// calls cannot write either, nor can a statement on a table that takes no part in transactions
// (MariaDB's MyISAM). PostgreSQL sets it first thing in the transaction, MySQL and MariaDB for the
// transaction that begins next; `begun` tells which moment this is.
void makeReadOnly(QSqlDatabase& database, bool begun, const std::string& source) {
    const bool mysql = database.driverName() == QLatin1String("QMYSQL") ||
                       database.driverName() == QLatin1String("QMARIADB");
    if (begun != (database.driverName() == QLatin1String("QPSQL")) || (!begun && !mysql))
        return;
    QSqlQuery readOnly(database);
    if (!readOnly.exec("SET TRANSACTION READ ONLY"))
        throw ELoadError(LoadErrorKind::Refused, source + ": cannot make the transaction read-only: " +
                                                     errorText(readOnly.lastError()));
}

// The query on PostgreSQL: one statement that returns rows, or refused before any of it runs.
void checkOneStatement(const PostgresHandle& server, const std::string& query, const std::string& source) {
    if (const std::string problem = server.oneStatementProblem(query); !problem.empty())
        throw ELoadError(LoadErrorKind::Refused, joined({source, ": ", problem}));
}

// Runs the query through Qt SQL and reads its rows.
std::shared_ptr<const TColumnStore> runQtQuery(QSqlDatabase& database, const std::string& query,
                                               const std::string& source, LoadBudget& budget) {
    QSqlQuery statement(database);
    statement.setForwardOnly(true);
    // Exact numerics arrive as text, so that one wider than a double keeps its digits.
    statement.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!statement.exec(QString::fromStdString(query)))
        throw ELoadError(LoadErrorKind::Refused,
                         source + ": the query failed: " + errorText(statement.lastError()));
    return loadQtRows(statement, database.driverName(), source, budget);
}

// Runs the query on PostgreSQL, once the server has parsed it as one statement that returns rows,
// and reads its rows with libpq. The loader waits for rows no longer than the time limit; a server
// that stops answering altogether is left behind by PostgresDeadline, which cancels the query and
// then shuts the connection.
std::shared_ptr<const TColumnStore> runPostgresQuery(const PostgresHandle& server, const std::string& query,
                                                     const std::string& source, LoadBudget& budget) {
    std::optional<PostgresDeadline> deadline;
    if (budget.limits().timeoutSeconds > 0)
        deadline.emplace(server, budget.deadline());
    try {
        checkOneStatement(server, query, source);
        return loadPostgresRows(server, source, budget);
    } catch (const ELoadError& error) {
        // What failed once the deadline passed failed because of it: the cancel or the shut
        // connection.
        if (deadline && deadline->passed() && error.kind() != LoadErrorKind::Timeout)
            throw ELoadError(LoadErrorKind::Timeout, joined({source, ": ", budget.timeoutText()}));
        throw;
    }
}

std::shared_ptr<const TColumnStore> runQuery(QSqlDatabase& database, const std::string& query,
                                             const std::string& source, LoadBudget& budget) {
    if (const PostgresHandle server(database); server)
        return runPostgresQuery(server, query, source, budget);
    return runQtQuery(database, query, source, budget);
}

// Runs the query on an open connection inside a transaction that is always rolled back.
std::shared_ptr<const TColumnStore> loadOpen(QSqlDatabase& database, const std::string& query,
                                             const std::string& source, const LoadLimits& limits) {
    PostgresHandle(database).logNotices();
    if (database.driverName() != QLatin1String("QPSQL"))
        refuseSeveralStatements(query, source);
    makeReadOnly(database, false, source);
    const bool transaction =
        database.driver()->hasFeature(QSqlDriver::Transactions) && database.transaction();
    std::shared_ptr<const TColumnStore> rows;
    try {
        LoadBudget budget(limits);
        if (transaction)
            makeReadOnly(database, true, source);
        setServerTimeout(database, limits, transaction);
        rows = runQuery(database, query, source, budget);
    } catch (const std::bad_alloc&) {
        if (transaction)
            database.rollback();
        throw ELoadError(LoadErrorKind::Refused,
                         source + ": not enough memory to load the rows; nothing was loaded");
    } catch (...) {
        if (transaction)
            database.rollback();
        throw;
    }
    if (transaction)
        database.rollback();
    return rows;
}

} // namespace

std::shared_ptr<const TColumnStore> loadSqlQuery(QSqlDatabase& database, const std::string& query,
                                                 const std::string& sourceName) {
    return loadSqlQuery(database, query, sourceName, LoadLimits{});
}

std::shared_ptr<const TColumnStore> loadSqlQuery(QSqlDatabase& database, const std::string& query,
                                                 const std::string& sourceName, const LoadLimits& limits) {
    if (!database.isOpen())
        throw ELoadError(LoadErrorKind::ServerUnreachable, sourceName + ": the connection is not open");
    return loadOpen(database, query, sourceName, limits);
}

std::shared_ptr<const TColumnStore> loadSqlQuery(const SqlConnection& connection, const std::string& query) {
    return loadSqlQuery(connection, query, LoadLimits{});
}

std::shared_ptr<const TColumnStore> loadSqlQuery(const SqlConnection& connection, const std::string& query,
                                                 const LoadLimits& limits) {
    return loadSqlRows(connection, query, limits).store;
}

namespace {

SqlRows loadRows(const SqlConnection& connection, const std::string& query, const LoadLimits& limits) {
    ScopedConnection scoped(connection);
    if (!scoped.database().open())
        throw ELoadError(connectFailureKind(connection, scoped.database().lastError()),
                         connectFailure(connection, scoped.database().lastError()));
    SqlServer server = serverUsed(connection, scoped.database());
    return {loadOpen(scoped.database(), query, connection.source, limits), std::move(server)};
}

} // namespace

SqlRows loadSqlRows(const SqlConnection& connection, const std::string& query, const LoadLimits& limits) {
    try {
        return loadRows(connection, query, limits);
    } catch (const ELoadError& error) {
        // No server quotes a password, but a driver's words on a failed connection could: they
        // are hidden, whatever the message.
        if (connection.password.empty() || error.Message().find(connection.password) == std::string::npos)
            throw;
        throw ELoadError(error.kind(), withSecretsHidden(error.Message(), {connection.password}));
    }
}

} // namespace qmr

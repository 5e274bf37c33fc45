// Loading a query's rows from a Qt SQL connection into a column store. The rows are read forward
// only, so a driver that can stream (PostgreSQL's single-row mode) never holds the whole result;
// every error, including one the server reports half-way through the rows, is raised before the
// store exists.

#include "host/sql/SqlLoader.h"

#include "host/rtl/AnsiString.h"
#include "host/rtl/Exception.h"
#include "host/sql/SqlColumnPlan.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

namespace qmr {

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;
/// Date-times count days from 1899-12-30, this Julian day.
constexpr qint64 kEpochJulianDay = 2415019;

// The pieces as one text. Appending piece by piece keeps GCC 12 at -O3 from a false -Wrestrict
// warning that chains of operator+ on strings set off once inlined.
std::string joined(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces)
        text.append(piece);
    return text;
}

// The driver's words for an error, on one line.
std::string errorText(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return text.simplified().toStdString();
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

// The option string each driver reads its connect timeout from.
QString timeoutOption(const QString& driver, int seconds) {
    const QString value = QString::number(seconds);
    if (driver == "QPSQL")
        return "connect_timeout=" + value;
    // No MySQL, MariaDB or ODBC driver and server can be started where the tests run.
    if (driver == "QMYSQL" || driver == "QMARIADB")
        return "MYSQL_OPT_CONNECT_TIMEOUT=" + value; // GCOVR_EXCL_LINE
    if (driver == "QODBC")
        return "SQL_ATTR_LOGIN_TIMEOUT=" + value; // GCOVR_EXCL_LINE
    return {};
}

ScopedConnection::ScopedConnection(const SqlConnection& connection)
    : m_name("qmr-sql-" + QString::number(reinterpret_cast<quintptr>(this), 16)) {
    const QString driver = QString::fromStdString(connection.driver);
    if (!QSqlDatabase::isDriverAvailable(driver))
        throw EDatabaseError(
            connection.source + ": the Qt SQL driver " + connection.driver +
            " is not installed (installed: " + QSqlDatabase::drivers().join(", ").toStdString() + ")");
    m_database = QSqlDatabase::addDatabase(driver, m_name);
    m_database.setHostName(QString::fromStdString(connection.host));
    if (connection.port >= 0)
        m_database.setPort(connection.port);
    m_database.setDatabaseName(QString::fromStdString(connection.databaseName));
    m_database.setUserName(QString::fromStdString(connection.user));
    m_database.setPassword(QString::fromStdString(connection.password));
    m_database.setConnectOptions(timeoutOption(driver, connection.connectTimeoutSeconds));
}

ScopedConnection::~ScopedConnection() {
    m_database.close();
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

/// One query's rows on their way into a store.
class SqlLoad {
public:
    SqlLoad(QSqlQuery& query, QString driverName, std::string source);
    std::shared_ptr<const TColumnStore> run();

private:
    void describeColumns();
    void appendRow();
    void appendValue(int column, const QVariant& value);
    void appendText(int column, const QString& text);
    void appendInteger(int column, const QVariant& value);
    void appendFloat(int column, const QVariant& value);
    void appendDateTime(int column, const QDate& date, const QTime& time);
    [[noreturn]] void fail(const std::string& what) const;
    [[noreturn]] void failAt(int column, const std::string& what) const;

    QSqlQuery& m_query;
    QString m_driverName;
    std::string m_source;
    std::vector<SqlColumnPlan> m_columns;
    std::optional<TColumnStoreBuilder> m_builder;
    long long m_row = 0;
    AnsiString m_text;
};

SqlLoad::SqlLoad(QSqlQuery& query, QString driverName, std::string source)
    : m_query(query), m_driverName(std::move(driverName)), m_source(std::move(source)) {}

void SqlLoad::fail(const std::string& what) const {
    throw EDatabaseError(joined({m_source, ": ", what}));
}

void SqlLoad::failAt(int column, const std::string& what) const {
    throw EDatabaseError(
        joined({m_source, ", row ", std::to_string(m_row), ", column ", std::to_string(column + 1), " (",
                m_columns[std::size_t(column)].def.name, "): ", what}));
}

void SqlLoad::describeColumns() {
    const QSqlRecord record = m_query.record();
    if (record.isEmpty())
        fail("the query returns no columns");
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        const std::string where = "column " + std::to_string(i + 1);
        AnsiString name;
        try {
            name = utf8ToAnsi(field.name().trimmed().toStdString());
        } catch (const EConvertError& error) {
            fail("the name of " + where + ": " + error.Message());
        }
        if (name.empty())
            fail(where + " of the query has no name");
        for (const SqlColumnPlan& other : m_columns) {
            if (UpperCase(other.def.name) == UpperCase(name))
                fail("the query returns two columns named " + name);
        }
        auto plan = planColumn(field, m_driverName);
        if (const std::string* why = std::get_if<std::string>(&plan))
            fail(where + " (" + name + "): " + *why);
        m_columns.push_back(std::get<SqlColumnPlan>(std::move(plan)));
        m_columns.back().def.name = name;
    }
    std::vector<TFieldDef> defs;
    for (const SqlColumnPlan& column : m_columns)
        defs.push_back(column.def);
    m_builder.emplace(std::move(defs));
}

void SqlLoad::appendRow() {
    for (int i = 0; i < int(m_columns.size()); ++i) {
        if (m_query.isNull(i))
            m_builder->appendNull(i);
        else
            appendValue(i, m_query.value(i));
    }
    m_builder->endRow();
}

void SqlLoad::appendValue(int column, const QVariant& value) {
    switch (m_columns[std::size_t(column)].read) {
    case SqlValueRead::Text:
        return appendText(column, value.toString());
    case SqlValueRead::TimeText: {
        const QTime time = value.toTime();
        return appendText(column, time.toString(time.msec() ? "hh:mm:ss.zzz" : "hh:mm:ss"));
    }
    case SqlValueRead::Integer:
        return appendInteger(column, value);
    case SqlValueRead::Float:
        return appendFloat(column, value);
    case SqlValueRead::Boolean:
        return m_builder->appendBoolean(column, value.toBool());
    case SqlValueRead::Date:
        return appendDateTime(column, value.toDate(), QTime(0, 0));
    case SqlValueRead::DateTime: {
        const QDateTime when = value.toDateTime();
        return appendDateTime(column, when.date(), when.time());
    }
    }
}

// Text arrives as UTF-16 and is stored in Windows-1252; plain ASCII is copied byte by byte, the rest
// goes through the same conversion the file loaders use, which names a character it cannot hold.
void SqlLoad::appendText(int column, const QString& text) {
    m_text.resize(std::size_t(text.size()));
    bool ascii = true;
    for (qsizetype i = 0; i < text.size() && ascii; ++i) {
        const char16_t unit = text[i].unicode();
        ascii = unit < 0x80;
        m_text[std::size_t(i)] = char(unit);
    }
    if (!ascii) {
        try {
            m_text = utf8ToAnsi(text.toStdString());
        } catch (const EConvertError& error) {
            failAt(column, error.Message());
        }
    }
    SqlColumnPlan& plan = m_columns[std::size_t(column)];
    const int length = int(m_text.size());
    if (!plan.sizedByData && length > plan.def.size)
        failAt(column, joined({"a value of ", std::to_string(length),
                               " characters; the column holds at most ", std::to_string(plan.def.size)}));
    plan.longest = std::max(plan.longest, length);
    m_builder->appendString(column, m_text);
}

// Drivers hand integers over as numbers, and exact numerics as text so that no digit is lost.
void SqlLoad::appendInteger(int column, const QVariant& value) {
    bool ok = false;
    const qlonglong integer = value.toLongLong(&ok);
    const bool beyondSigned =
        value.typeId() == QMetaType::ULongLong && value.toULongLong() > quint64(INT64_MAX);
    if (!ok || beyondSigned)
        failAt(column, joined({"'", value.toString().toStdString(), "' does not fit an integer field"}));
    m_builder->appendInteger(column, integer);
}

void SqlLoad::appendFloat(int column, const QVariant& value) {
    bool ok = false;
    const double real = value.toDouble(&ok);
    if (!ok || !std::isfinite(real))
        failAt(column, joined({"'", value.toString().toStdString(), "' is not a finite number"}));
    m_builder->appendFloat(column, real);
}

void SqlLoad::appendDateTime(int column, const QDate& date, const QTime& time) {
    if (!date.isValid() || !time.isValid())
        failAt(column, "the value is not a date the data set can hold");
    // Before the epoch the days count down while the time of day still counts up (-1.25 is
    // 29/12/1899 06:00), as in every other date-time of the data set.
    const double days = double(date.toJulianDay() - kEpochJulianDay);
    const double fraction = time.msecsSinceStartOfDay() / kMillisecondsPerDay;
    m_builder->appendDateTime(column, days < 0 ? days - fraction : days + fraction);
}

std::shared_ptr<const TColumnStore> SqlLoad::run() {
    describeColumns();
    while (m_query.next()) {
        ++m_row;
        appendRow();
    }
    // A server may fail after the first rows (a division by zero in row 1000): the rows read so far
    // must not pass for the whole result.
    if (m_query.lastError().isValid())
        fail(joined({"the query failed after ", std::to_string(m_row),
                     m_row == 1 ? " row: " : " rows: ", errorText(m_query.lastError())}));
    for (int i = 0; i < int(m_columns.size()); ++i) {
        if (m_columns[std::size_t(i)].sizedByData)
            m_builder->setFieldSize(i, std::max(1, m_columns[std::size_t(i)].longest));
    }
    return m_builder->finish();
}

// Runs the query on an open connection inside a transaction that is always rolled back.
std::shared_ptr<const TColumnStore> loadOpen(QSqlDatabase& database, const std::string& query,
                                             const std::string& source) {
    const bool transaction =
        database.driver()->hasFeature(QSqlDriver::Transactions) && database.transaction();
    std::shared_ptr<const TColumnStore> rows;
    try {
        QSqlQuery statement(database);
        statement.setForwardOnly(true);
        // Exact numerics arrive as text, so that one wider than a double keeps its digits.
        statement.setNumericalPrecisionPolicy(QSql::HighPrecision);
        if (!statement.exec(QString::fromStdString(query)))
            throw EDatabaseError(source + ": the query failed: " + errorText(statement.lastError()));
        rows = SqlLoad(statement, database.driverName(), source).run();
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
    if (!database.isOpen())
        throw EDatabaseError(sourceName + ": the connection is not open");
    return loadOpen(database, query, sourceName);
}

std::shared_ptr<const TColumnStore> loadSqlQuery(const SqlConnection& connection, const std::string& query) {
    ScopedConnection scoped(connection);
    if (!scoped.database().open())
        throw EDatabaseError(connection.source +
                             ": cannot connect: " + errorText(scoped.database().lastError()));
    return loadOpen(scoped.database(), query, connection.source);
}

} // namespace qmr

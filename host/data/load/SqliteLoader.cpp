// Loading the rows of an SQLite query into a column store. The database is opened read-only;
// declared column types decide the field types, and a column without one (an expression) takes
// the type of its first non-null value. Any error is raised before the store exists.
//
// Another program may be writing to the same file (a host recording sales). While it holds the
// lock that keeps readers out, the load waits up to kBusyTimeoutMs for it instead of failing at
// once; a writer that keeps the file locked longer than that is reported as such.
//
// A query is held to its LoadLimits: its rows and their bytes are counted as they come, and its
// time is watched from inside SQLite (a progress handler), so that a query busy without yielding
// rows, a sort of an endless CTE, is stopped too.

#include <qmr41726/data/load/FileSource.h>
#include <qmr41726/data/load/LoadBudget.h>
#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/data/load/SqlDeclaredType.h>
#include <qmr41726/data/load/TextColumnSizes.h>
#include <qmr41726/data/load/ValueParser.h>
#include <qmr41726/data/store/ValueText.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>

namespace qmr {

namespace {

/// How long a load waits for another connection's write lock. Writers commit in milliseconds; five
/// seconds rides out any commit while a writer that hangs is still reported before a user gives up.
constexpr int kBusyTimeoutMs = 5000;
/// SQLite's virtual machine instructions between two looks at the clock: microseconds of work.
constexpr int kProgressInstructions = 10000;

// The words for an SQLite error; a lock that outlasted the wait says so plainly.
std::string sqliteError(sqlite3* db) {
    const int code = sqlite3_errcode(db) & 0xff;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return "the database stayed locked by another connection for " +
               std::to_string(kBusyTimeoutMs / 1000) + " seconds (" + sqlite3_errmsg(db) + ")";
    return sqlite3_errmsg(db);
}

// What sort of failure the database's last error is: a file that is no database, one that could
// not be read (or stayed locked), or a query the database refused.
LoadErrorKind sqliteErrorKind(sqlite3* db) {
    switch (sqlite3_errcode(db) & 0xff) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return LoadErrorKind::Malformed;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
    case SQLITE_PERM:
        return LoadErrorKind::Unreadable;
    case SQLITE_NOMEM:
    default:
        return LoadErrorKind::Refused;
    }
}

/// How one result column becomes a field.
struct SqlColumn {
    TFieldDef def;
    /// False while the type waits for the column's first non-null value.
    bool typed = false;
};

/// One value as SQLite returned it; text is kept only where a text form is needed.
struct SqlValue {
    int type = SQLITE_NULL;
    std::int64_t integer = 0;
    double real = 0;
    std::string text;
};

struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close(db); }
};

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

// Fills the column's type from its declared type; leaves it untyped when there is none or the
// name says nothing (BLOB, or an expression's empty type).
void applyDeclaredType(const char* declared, SqlColumn& column) {
    const std::optional<DeclaredFieldType> type = fieldTypeOfDeclared(declared ? declared : "");
    if (!type)
        return;
    column.typed = true;
    column.def.type = type->type;
    column.def.size = type->size;
}

// The type an untyped column takes from its first non-null value.
void inferType(const SqlValue& value, SqlColumn& column) {
    column.typed = true;
    column.def.type = value.type == SQLITE_INTEGER ? TFieldType::ftInteger
                      : value.type == SQLITE_FLOAT ? TFieldType::ftFloat
                                                   : TFieldType::ftString;
}

/// One query's rows on their way into a store.
class SqliteLoad {
public:
    SqliteLoad(std::string path, sqlite3* db, sqlite3_stmt* stmt, LoadBudget& budget);
    std::shared_ptr<const TColumnStore> run();

private:
    void describeColumns();
    void readRow(std::vector<SqlValue>& row);
    void checkBudget();
    void holdWaiting(const std::vector<SqlValue>& row);
    bool allTyped() const;
    void startBuilder();
    void appendWaiting(std::vector<std::vector<SqlValue>>& waiting);
    void appendRow(const std::vector<SqlValue>& row);
    void appendValue(int column, const SqlValue& value);
    void appendString(int column, const SqlValue& value);
    const char* appendNumber(int column, const SqlValue& value);
    const char* appendOther(int column, const SqlValue& value);
    std::string valueText(const SqlValue& value) const;
    [[noreturn]] void fail(const std::string& what) const;
    [[noreturn]] void stepFailed(int rc) const;
    [[noreturn]] void failAt(int column, const std::string& what,
                             LoadErrorKind kind = LoadErrorKind::Malformed) const;

    std::string m_path;
    sqlite3* m_db;
    sqlite3_stmt* m_stmt;
    LoadBudget& m_budget;
    std::vector<SqlColumn> m_columns;
    std::optional<TColumnStoreBuilder> m_builder;
    std::optional<TextColumnSizes> m_sizes;
    long long m_row = 0;
    AnsiString m_converted;
};

SqliteLoad::SqliteLoad(std::string path, sqlite3* db, sqlite3_stmt* stmt, LoadBudget& budget)
    : m_path(std::move(path)), m_db(db), m_stmt(stmt), m_budget(budget) {}

void SqliteLoad::fail(const std::string& what) const {
    throw ELoadError(LoadErrorKind::Malformed, m_path + ": " + what);
}

// A value SQLite would have built past its own length limit (a billion bytes) is named as past the
// bound on one value, which it is; which column was being built SQLite does not say. The limit is
// left as it is: below it, printf() gives a silent NULL where the value would not fit, while a
// value SQLite did build is measured (sqlite3_column_bytes) and refused before it is copied.
void SqliteLoad::stepFailed(int rc) const {
    const std::string where = m_path + ", row " + std::to_string(m_row + 1) + ": ";
    if (rc == SQLITE_INTERRUPT)
        throw ELoadError(LoadErrorKind::Timeout, where + m_budget.timeoutText());
    if ((rc & 0xff) == SQLITE_TOOBIG)
        throw ELoadError(LoadErrorKind::Refused,
                         where + "a value holds more than " +
                             std::to_string(sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, -1)) +
                             " bytes, past the bound of " + std::to_string(LoadLimits::kMaxValueBytes) +
                             " bytes on one value; nothing was loaded");
    throw ELoadError(sqliteErrorKind(m_db), where + sqliteError(m_db));
}

void SqliteLoad::failAt(int column, const std::string& what, LoadErrorKind kind) const {
    throw ELoadError(kind, m_path + ", row " + std::to_string(m_row) + ", column " +
                               std::to_string(column + 1) + " (" +
                               nameExcerpt(m_columns[column].def.name, kNameExcerptBytes) + "): " + what);
}

void SqliteLoad::checkBudget() {
    if (const std::string passed = m_budget.endRow(); !passed.empty())
        throw ELoadError(LoadErrorKind::Refused, m_path + ", row " + std::to_string(m_row) + ": " + passed);
}

// A row waiting for the columns' types costs its vector, a whole SqlValue a value and its text,
// on top of what the store takes once it is appended.
void SqliteLoad::holdWaiting(const std::vector<SqlValue>& row) {
    constexpr std::uint64_t kAllocation = 16;
    std::uint64_t bytes = sizeof(row) + kAllocation + sizeof(SqlValue) * row.size();
    for (const SqlValue& value : row)
        bytes += value.text.size();
    m_budget.holdAside(bytes);
}

void SqliteLoad::describeColumns() {
    const int count = sqlite3_column_count(m_stmt);
    if (count == 0)
        fail("the query returns no columns");
    for (int i = 0; i < count; ++i) {
        SqlColumn column;
        const char* name = sqlite3_column_name(m_stmt, i);
        try {
            column.def.name = utf8ToAnsi(trimBlanks(name ? name : ""));
        } catch (const EConvertError& error) {
            fail("the name of column " + std::to_string(i + 1) + ": " + error.Message());
        }
        if (column.def.name.empty())
            fail("column " + std::to_string(i + 1) + " of the query has no name");
        for (const SqlColumn& other : m_columns) {
            if (UpperCase(other.def.name) == UpperCase(column.def.name))
                fail("the query returns two columns named " +
                     nameExcerpt(column.def.name, kNameExcerptBytes));
        }
        applyDeclaredType(sqlite3_column_decltype(m_stmt, i), column);
        m_columns.push_back(std::move(column));
    }
}

bool SqliteLoad::allTyped() const {
    return std::all_of(m_columns.begin(), m_columns.end(), [](const SqlColumn& c) { return c.typed; });
}

// Reads the current row; the text form is kept for columns that are (or may become) strings and
// for text values, so that numbers in numeric columns are never formatted.
void SqliteLoad::readRow(std::vector<SqlValue>& row) {
    row.resize(m_columns.size());
    for (int i = 0; i < int(m_columns.size()); ++i) {
        SqlValue& value = row[i];
        value.type = sqlite3_column_type(m_stmt, i);
        if (value.type == SQLITE_INTEGER)
            value.integer = sqlite3_column_int64(m_stmt, i);
        if (value.type == SQLITE_FLOAT)
            value.real = sqlite3_column_double(m_stmt, i);
        const bool wantText = value.type == SQLITE_TEXT ||
                              (value.type != SQLITE_NULL && value.type != SQLITE_BLOB &&
                               (!m_columns[i].typed || m_columns[i].def.type == TFieldType::ftString));
        if (wantText) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
            const auto bytes = std::size_t(sqlite3_column_bytes(m_stmt, i));
            if (const std::string tooLarge = LoadBudget::valueTooLarge(bytes); !tooLarge.empty())
                failAt(i, tooLarge, LoadErrorKind::Refused);
            value.text.assign(text, bytes);
        }
        if (value.type == SQLITE_BLOB)
            failAt(i, "a binary (BLOB) value cannot be loaded");
        if (!m_columns[i].typed && value.type != SQLITE_NULL)
            inferType(value, m_columns[i]);
    }
}

void SqliteLoad::startBuilder() {
    std::vector<TFieldDef> defs;
    for (SqlColumn& column : m_columns) {
        if (!column.typed) {
            // Nothing but nulls: a text column, sized by its data, is the least surprising home.
            column.typed = true;
        }
        defs.push_back(column.def);
    }
    m_sizes.emplace(defs);
    m_builder.emplace(std::move(defs));
}

void SqliteLoad::appendRow(const std::vector<SqlValue>& row) {
    for (int i = 0; i < int(row.size()); ++i)
        appendValue(i, row[i]);
    m_builder->endRow();
}

void SqliteLoad::appendValue(int column, const SqlValue& value) {
    m_budget.hold(std::size_t(column), LoadBudget::storeBytes(m_columns[column].def.type, value.text.size()));
    if (value.type == SQLITE_NULL) {
        m_builder->appendNull(column);
        return;
    }
    const TFieldType type = m_columns[column].def.type;
    if (type == TFieldType::ftString) {
        appendString(column, value);
        return;
    }
    const char* why = (type == TFieldType::ftInteger || type == TFieldType::ftFloat)
                          ? appendNumber(column, value)
                          : appendOther(column, value);
    if (why)
        failAt(column, valueText(value) + " " + why);
}

void SqliteLoad::appendString(int column, const SqlValue& value) {
    std::string_view text;
    try {
        text = utf8AsAnsi(value.text, m_converted);
    } catch (const EConvertError& error) {
        failAt(column, error.Message());
    }
    if (const std::string tooLong = m_sizes->add(column, text); !tooLong.empty())
        failAt(column, tooLong);
    m_builder->appendString(column, text);
}

// Integer and float columns take numbers of either kind and text that reads as a number; an
// integer column refuses a fraction rather than cut it off.
const char* SqliteLoad::appendNumber(int column, const SqlValue& value) {
    const bool isInteger = m_columns[column].def.type == TFieldType::ftInteger;
    std::int64_t integer = value.integer;
    double real = value.type == SQLITE_INTEGER ? double(value.integer) : value.real;
    if (value.type == SQLITE_TEXT) {
        if (const char* why = isInteger ? parseInteger(value.text, integer) : parseFloat(value.text, real))
            return why;
    } else if (isInteger && value.type == SQLITE_FLOAT) {
        if (real != std::trunc(real))
            return "is not a whole number";
        // 2^63 is the first double past the integer range.
        if (std::fabs(real) >= 9223372036854775808.0)
            return "is out of the range of an integer";
        integer = std::int64_t(real);
    }
    if (isInteger)
        m_builder->appendInteger(column, integer);
    else
        m_builder->appendFloat(column, real);
    return nullptr;
}

// Booleans are 0/1 or words; date-times are ISO 8601 text, the form SQLite's date functions use.
const char* SqliteLoad::appendOther(int column, const SqlValue& value) {
    if (m_columns[column].def.type == TFieldType::ftBoolean) {
        bool flag = false;
        if (value.type == SQLITE_INTEGER && (value.integer == 0 || value.integer == 1))
            flag = value.integer == 1;
        else if (value.type != SQLITE_TEXT)
            return "is not a Boolean (0 or 1)";
        else if (const char* why = parseBoolean(value.text, flag))
            return why;
        m_builder->appendBoolean(column, flag);
        return nullptr;
    }
    double when = 0;
    if (value.type != SQLITE_TEXT)
        return "is not a date as text (yyyy-mm-dd hh:mm:ss)";
    if (const char* why = parseDateTime(value.text, when))
        return why;
    m_builder->appendDateTime(column, when);
    return nullptr;
}

std::string SqliteLoad::valueText(const SqlValue& value) const {
    if (value.type == SQLITE_INTEGER)
        return std::to_string(value.integer);
    if (value.type == SQLITE_FLOAT)
        return floatText(value.real);
    try {
        return quotedExcerpt(utf8ToAnsi(value.text));
    } catch (const EConvertError&) {
        return quotedExcerpt(value.text);
    }
}

// Creates the builder once every column has a type and appends the rows that waited for it.
void SqliteLoad::appendWaiting(std::vector<std::vector<SqlValue>>& waiting) {
    startBuilder();
    const long long last = m_row;
    m_row -= static_cast<long long>(waiting.size());
    for (const auto& row : waiting) {
        ++m_row;
        appendRow(row);
    }
    m_row = last;
    waiting.clear();
}

std::shared_ptr<const TColumnStore> SqliteLoad::run() {
    describeColumns();
    // Rows wait here only until every untyped column has shown a value: usually just the first.
    std::vector<std::vector<SqlValue>> waiting;
    std::vector<SqlValue> row;
    for (;;) {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            stepFailed(rc);
        ++m_row;
        readRow(row);
        if (m_builder) {
            appendRow(row);
        } else {
            holdWaiting(row);
            waiting.push_back(row);
            if (allTyped())
                appendWaiting(waiting);
        }
        checkBudget();
    }
    if (!m_builder)
        appendWaiting(waiting);
    m_sizes->applyTo(*m_builder);
    return m_builder->finish();
}

// Stops the query (SQLITE_INTERRUPT) once its time is up.
int stopPastDeadline(void* budget) {
    return static_cast<const LoadBudget*>(budget)->pastDeadline() ? 1 : 0;
}

// A parameter would run as NULL, silently: `code = ?` then matches nothing. Refused, named.
void refuseParameters(sqlite3_stmt* stmt, const std::string& name) {
    const int count = sqlite3_bind_parameter_count(stmt);
    if (count == 0)
        return;
    // A plain `?` has no name; `?7` leaves the numbers before it without one.
    const char* parameter = nullptr;
    for (int i = 1; i <= count && !parameter; ++i)
        parameter = sqlite3_bind_parameter_name(stmt, i);
    throw ELoadError(LoadErrorKind::Malformed, name + ": the query holds the parameter " +
                                                   quotedExcerpt(parameter ? parameter : "?") +
                                                   ", which nothing binds; write its value into the query");
}

std::shared_ptr<const TColumnStore> runQuery(const std::string& path, const std::string& name,
                                             const std::string& query, const LoadLimits& limits) {
    requireRegularFile(path, name);
    Connection connection;
    if (sqlite3_open_v2(path.c_str(), &connection.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw ELoadError(LoadErrorKind::Unreadable,
                         name + ": cannot open the database (" +
                             (connection.db ? sqlite3_errmsg(connection.db) : "out of memory") + ")");
    sqlite3_busy_timeout(connection.db, kBusyTimeoutMs);
    LoadBudget budget(limits);
    sqlite3_progress_handler(connection.db, kProgressInstructions, stopPastDeadline, &budget);
    Statement statement;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(connection.db, query.c_str(), int(query.size()), &statement.stmt, &tail) !=
        SQLITE_OK)
        throw ELoadError(sqliteErrorKind(connection.db),
                         name + ": the query failed: " + sqliteError(connection.db));
    if (!statement.stmt)
        throw ELoadError(LoadErrorKind::Malformed, name + ": the query is empty");
    // A second statement would be silently ignored; refuse it rather than run half the text.
    Statement rest;
    if (sqlite3_prepare_v2(connection.db, tail, -1, &rest.stmt, nullptr) != SQLITE_OK || rest.stmt)
        throw ELoadError(LoadErrorKind::Malformed, name + ": the query holds more than one statement");
    refuseParameters(statement.stmt, name);
    return SqliteLoad(name, connection.db, statement.stmt, budget).run();
}

} // namespace

std::shared_ptr<const TColumnStore> loadSqlite(const std::string& path, const std::string& query) {
    return loadSqlite(path, query, LoadLimits{});
}

std::shared_ptr<const TColumnStore> loadSqlite(const std::string& path, const std::string& query,
                                               const LoadLimits& limits) {
    // Messages name the file by an excerpt of its path.
    const std::string name = nameExcerpt(path, kPathExcerptBytes, TextEncoding::Utf8);
    try {
        return runQuery(path, name, query, limits);
    } catch (const std::bad_alloc&) {
        throw ELoadError(LoadErrorKind::Refused,
                         name + ": not enough memory to load the rows; nothing was loaded");
    }
}

} // namespace qmr

// The server loader against a real PostgreSQL: every mapped column type with its values, nulls and
// sizes, and each way a load can fail, with the words it fails with.
#include "SqlTestSupport.h"

#include <qmr41726/rtl/AnsiString.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/sql/SqlLoader.h>

#include <QStringList>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using namespace qmr;

namespace {

std::shared_ptr<const TColumnStore> load(const std::string& query) {
    return loadSqlQuery(parseDatabaseUrl(server().url(testDatabase())), query);
}

// The message of the EDatabaseError a load raises; fails the test when it raises none.
std::string loadError(const SqlConnection& connection, const std::string& query) {
    try {
        loadSqlQuery(connection, query);
    } catch (const EDatabaseError& error) {
        return error.Message();
    }
    ADD_FAILURE() << "loaded without an error: " << query;
    return {};
}

std::string loadError(const std::string& query) {
    return loadError(parseDatabaseUrl(server().url(testDatabase())), query);
}

int columnOf(const TColumnStore& store, const std::string& name) {
    for (int i = 0; i < store.fieldCount(); ++i) {
        if (store.fieldDef(i).name == name)
            return i;
    }
    ADD_FAILURE() << "no column " << name;
    return 0;
}

class SqlLoadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        execute(
            "CREATE TABLE IF NOT EXISTS every_type ("
            " id integer, big bigint, small smallint, price numeric(12,2), whole numeric(18,0),"
            " wide numeric(30,0), ratio double precision, flag boolean, day date, stamp timestamp,"
            " name varchar(30), code char(4), note text, tag uuid, at time);"
            "TRUNCATE every_type;"
            "INSERT INTO every_type VALUES (1, 9007199254740993, -7, 12.50, 123456789012345678,"
            " 123456789012345678901234567890, 0.1, true, '2024-02-29', '2024-02-29 13:45:30',"
            " 'Café com leite', 'AB', 'short', 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11', '07:30:00');"
            "INSERT INTO every_type (id) VALUES (2);"
            "INSERT INTO every_type VALUES (3, -9223372036854775808, 32767, -0.01, -1, 0, -2.5e300, false,"
            " '1899-12-30', '1899-12-29 06:00:00', 'Ação', 'WXYZ', 'a note of thirty-one characters',"
            " 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a12', '23:59:59.5')");
    }
};

} // namespace

TEST_F(SqlLoadTest, everyColumnTypeKeepsItsValuesNullsAndSizes) {
    const auto store = load("SELECT * FROM every_type ORDER BY id");
    ASSERT_EQ(store->rowCount(), 3);
    struct Expected {
        const char* column;
        TFieldType type;
        int size;
        const char* first;
        const char* third;
    };
    const Expected expected[] = {
        {"id", TFieldType::ftInteger, 0, "1", "3"},
        {"big", TFieldType::ftInteger, 0, "9007199254740993", "-9223372036854775808"},
        {"small", TFieldType::ftInteger, 0, "-7", "32767"},
        {"price", TFieldType::ftFloat, 0, "12.5", "-0.01"},
        {"whole", TFieldType::ftInteger, 0, "123456789012345678", "-1"},
        {"wide", TFieldType::ftFloat, 0, "1.23456789012346e+29", "0"},
        {"ratio", TFieldType::ftFloat, 0, "0.1", "-2.5e+300"},
        {"flag", TFieldType::ftBoolean, 0, "True", "False"},
        {"day", TFieldType::ftDateTime, 0, "29/02/2024", "30/12/1899"},
        {"stamp", TFieldType::ftDateTime, 0, "29/02/2024 13:45:30", "29/12/1899 06:00:00"},
        {"name", TFieldType::ftString, 30, "Café com leite", "Ação"},
        {"code", TFieldType::ftString, 4, "AB  ", "WXYZ"},
        {"note", TFieldType::ftString, 31, "short", "a note of thirty-one characters"},
        {"tag", TFieldType::ftString, 36, "a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11",
         "a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a12"},
        {"at", TFieldType::ftString, 10, "07:30:00", "23:59:59.5"},
    };
    ASSERT_EQ(store->fieldCount(), int(std::size(expected)));
    for (const Expected& e : expected) {
        const int column = columnOf(*store, e.column);
        const TFieldDef& def = store->fieldDef(column);
        EXPECT_EQ(def.type, e.type) << e.column;
        EXPECT_EQ(def.size, e.size) << e.column;
        EXPECT_EQ(ansiToUtf8(store->text(0, column)), e.first) << e.column;
        EXPECT_EQ(ansiToUtf8(store->text(2, column)), e.third) << e.column;
        EXPECT_EQ(store->isNull(1, column), column != 0) << e.column << ": only id is set in row 2";
    }
}

TEST_F(SqlLoadTest, badQueriesAndColumnsAreRefusedNamingWhat) {
    struct Case {
        const char* query;
        std::vector<const char*> fragments;
    };
    const Case cases[] = {
        {"SELECT nope FROM every_type", {"the query failed", "column \"nope\" does not exist"}},
        {"SELECT", {"the query returns no columns"}},
        {"SELECT id, id FROM every_type", {"two columns named id"}},
        {"SELECT id, name AS \"ID\" FROM every_type", {"two columns named ID"}},
        {"SELECT id, '☃ snow'::text AS weather FROM every_type", {"row 1, column 2 (weather)", "U+2603"}},
        {"SELECT 'abc'::bytea AS picture", {"column 1 (picture)", "binary values cannot be loaded"}},
        // The server fails at the third row: the two rows before it must not pass for the result.
        {"SELECT 10 / (3 - x) AS v FROM generate_series(1, 5) AS x",
         {"the query failed after 2 rows", "division by zero"}},
        {"SELECT 'NaN'::float8 AS ratio", {"column 1 (ratio)", "is not a finite number"}},
    };
    for (const Case& c : cases) {
        const std::string message = loadError(c.query);
        for (const char* fragment : c.fragments)
            EXPECT_NE(message.find(fragment), std::string::npos) << c.query << "\n" << message;
        EXPECT_NE(message.find(server().socketFolder().toStdString()), std::string::npos)
            << "names the source: " << message;
    }
}

// The server stops a query at the time limit even while it yields no rows (statement_timeout); a
// query given up at a bound is cancelled on the server rather than read to its end.
TEST_F(SqlLoadTest, aQueryPastItsBoundsIsStoppedNamingTheBound) {
    const SqlConnection connection = parseDatabaseUrl(server().url(testDatabase()));
    const LoadLimits rows{.maxRows = 1000};
    const LoadLimits time{.timeoutSeconds = 1};
    const LoadLimits bytes{.maxBytes = 100000};
    struct Case {
        const char* query;
        LoadLimits limits;
        const char* fragment;
    };
    const Case cases[] = {
        {"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x FROM c", rows,
         "row 1001: the query returns more than 1000 rows, the bound on one load; nothing was loaded"},
        {"SELECT pg_sleep(30) IS NULL AS slept", time,
         "the query ran longer than its time limit of 1 second; nothing was loaded"},
        {"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x FROM c", time,
         "the query ran longer than its time limit of 1 second; nothing was loaded"},
        {"SELECT id FROM every_type WHERE id = $1", {}, "the parameter $1, which nothing binds"},
        {"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x FROM c", bytes,
         "row 6251: the rows take more than 100000 bytes, the bound on one load's memory (--load-memory)"},
        {"SELECT 1 AS n, repeat('a', 67108865) AS big",
         {},
         "row 1, column 2 (big): the value holds 67108865 bytes, more than 67108864, the bound on one value"},
    };
    for (const Case& c : cases) {
        const auto started = std::chrono::steady_clock::now();
        std::string message;
        try {
            loadSqlQuery(connection, c.query, c.limits);
            ADD_FAILURE() << "loaded without an error: " << c.query;
        } catch (const EDatabaseError& error) {
            message = error.Message();
        }
        EXPECT_NE(message.find(c.fragment), std::string::npos) << c.query << "\n" << message;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10)) << c.query;
    }
}

TEST_F(SqlLoadTest, aLoadNeverChangesTheDatabase) {
    const std::string error = loadError("INSERT INTO every_type (id) VALUES (99) RETURNING id");
    EXPECT_NE(error.find("cannot execute INSERT in a read-only transaction"), std::string::npos) << error;
    EXPECT_EQ(queryValue("SELECT count(*) FROM every_type WHERE id = 99"), "0");
}

TEST_F(SqlLoadTest, connectionFaultsNameTheServerAndWhy) {
    SqlConnection wrongPassword = parseDatabaseUrl(server().url(testDatabase()));
    wrongPassword.password = "not-the-password";
    EXPECT_NE(loadError(wrongPassword, "SELECT 1").find("password authentication failed for user \"qmr\""),
              std::string::npos);

    const std::string unknown = loadError(parseDatabaseUrl(server().url("nowhere")), "SELECT 1");
    EXPECT_NE(unknown.find("database \"nowhere\" does not exist"), std::string::npos) << unknown;

    ASSERT_TRUE(server().stop()) << server().error();
    const std::string stopped = loadError("SELECT 1");
    ASSERT_TRUE(server().start()) << server().error();
    EXPECT_NE(stopped.find("cannot connect"), std::string::npos) << stopped;
    EXPECT_NE(stopped.find("No such file or directory"), std::string::npos) << stopped;
}

TEST(SqlConnect, aServerThatNeverAnswersIsGivenUpAfterTheConnectTimeout) {
    // A socket that takes connections into its backlog and never says a word, as a hung server does.
    QTemporaryDir folder;
    const std::string path = folder.filePath(".s.PGSQL.5432").toStdString();
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0)
        << std::strerror(errno);
    ASSERT_EQ(listen(listener, 4), 0);
    const auto started = std::chrono::steady_clock::now();
    const std::string message = loadError(
        parseDatabaseUrl("postgresql://qmr@/shop?host=" + folder.path().toStdString() + "&connect_timeout=2"),
        "SELECT 1");
    const auto waited = std::chrono::steady_clock::now() - started;
    close(listener);
    EXPECT_NE(message.find("cannot connect"), std::string::npos) << message;
    EXPECT_NE(message.find("timeout expired"), std::string::npos) << message;
    EXPECT_LT(waited, std::chrono::seconds(10)) << "the timeout of 2 seconds was not kept";
}

// Every PostgreSQL type the loader maps, with awkward values, each loaded value against the
// server's own text of it in the same load; a session zone ahead of UTC by an odd offset, so that a
// time stamp's offset is read rather than assumed.
TEST_F(SqlLoadTest, everyPostgresValueLoadsAsTheServerWritesItOrIsRefusedByName) {
    execute("ALTER ROLE " + PostgresServer::user() + " IN DATABASE shop SET TimeZone = 'Asia/Kolkata'");
    struct ZoneReset {
        ~ZoneReset() { execute("ALTER ROLE " + PostgresServer::user() + " IN DATABASE shop RESET TimeZone"); }
    } reset;
    // The server's text in the store's form: a date-time as dd/mm/yyyy hh:mm:ss to the nearest
    // second, in UTC; char(n) through its output function, which keeps the padding ::text drops.
    const QString day = "regexp_replace(to_char(date_trunc('second', %1 + interval '0.5 s'), "
                        "'DD/MM/YYYY HH24:MI:SS'), ' 00:00:00$', '')";
    const struct {
        const char* type;
        QString serverText;
        std::vector<const char*> values;
    } types[] = {
        {"smallint", "%1::text", {"-32768", "32767"}},
        {"integer", "%1::text", {"-2147483648", "2147483647"}},
        {"bigint", "%1::text", {"-9223372036854775808", "9223372036854775807"}},
        {"oid", "%1::text", {"4294967295"}},
        {"numeric(18,0)", "%1::text", {"-999999999999999999"}},
        {"numeric(12,2)", "%1::text", {"-0.01", "9999999999.99"}},
        {"numeric", "%1::text", {"0.1", "-1.5e-300", "123456789012345678901234567890.5"}},
        {"real", "%1::text", {"-3.4e38", "1.17549435e-38"}},
        {"double precision", "%1::text", {"-1.7976931348623157e308", "5e-324", "0.1"}},
        {"boolean", "initcap(%1::text)", {"true", "false"}},
        {"date", day, {"'0001-01-01'", "'1899-12-29'", "'2024-02-29'", "'9999-12-31'"}},
        {"timestamp", day, {"'1899-12-29 06:00:00.125'", "'2024-02-29 23:59:59.999999'"}},
        {"timestamptz",
         day.arg("(%1 AT TIME ZONE 'UTC')"),
         {"'2024-02-29 01:30:00.25+05:30'", "'0001-01-02 00:00:00+14'", "'1900-01-01 00:00:00-03:00'"}},
        {"time", "%1::text", {"'00:00:00'", "'23:59:59.999999'", "'24:00:00'"}},
        {"timetz", "%1::text", {"'12:34:56+05:30'", "'00:00:00.000001-15:59'"}},
        {"interval", "%1::text", {"'-1 year 2 days -03:04:05.6'"}},
        {"text", "%1::text", {"'Ação € “já” Œ'", "''", "'it''s'"}},
        {"varchar(12)", "%1::text", {"'Œuvre ½ ‰'"}},
        {"char(3)", "concat(%1)", {"'a'", "'ção'"}},
        {"uuid", "%1::text", {"'A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11'"}},
        {"json", "%1::text", {"'{\"a\" : [1, 2.50, null]}'"}},
        {"jsonb", "%1::text", {"'{\"a\" : [1, 2.50, null]}'"}},
        {"inet", "%1::text", {"'192.168.0.1/24'"}},
    };
    // One column a type and a row a value, NULL in every other column; row 0 is NULL throughout.
    QStringList columns, selected;
    QString inserts = "INSERT INTO awkward (n) VALUES (0);";
    int rows = 0;
    for (int c = 0; c < int(std::size(types)); ++c) {
        const QString name = "c" + QString::number(c);
        columns << name + " " + types[c].type;
        selected << name << types[c].serverText.arg(name) + " AS s" + QString::number(c);
        for (const char* value : types[c].values)
            inserts +=
                QString("INSERT INTO awkward (n, %1) VALUES (%2, %3);").arg(name).arg(++rows).arg(value);
    }
    execute("DROP TABLE IF EXISTS awkward; CREATE TABLE awkward (n integer, " + columns.join(", ") + ");" +
            inserts);
    const auto store = load("SELECT " + selected.join(", ").toStdString() + " FROM awkward ORDER BY n");
    ASSERT_EQ(store->rowCount(), rows + 1);
    for (int c = 0; c < int(std::size(types)); ++c) {
        const int column = 2 * c;
        EXPECT_TRUE(store->isNull(0, column)) << types[c].type;
        for (int r = 1; r < store->rowCount(); ++r) {
            if (store->isNull(r, column))
                continue;
            std::string expected = ansiToUtf8(store->text(r, column + 1));
            if (store->fieldDef(column).type == TFieldType::ftFloat)
                expected = QString::number(std::strtod(expected.c_str(), nullptr), 'g', 15).toStdString();
            EXPECT_EQ(ansiToUtf8(store->text(r, column)), expected) << types[c].type << ", row " << r;
        }
    }

    const std::pair<const char*, const char*> refused[] = {
        {"'4713-01-01 BC'::date",
         "the date '4713-01-01 BC' is before the year 1, which a date field cannot hold"},
        {"'0001-01-01 00:00:00+05'::timestamptz", "+05:53:28' is before the year 1 in UTC"},
        {"'10000-01-01'::date",
         "the date '10000-01-01' is after the year 9999, which a date field cannot hold"},
        {"'-infinity'::date", "the date '-infinity' is endless, which a date field cannot hold"},
        {"'infinity'::timestamptz", "the date 'infinity' is endless"},
        {"'NaN'::numeric", "'NaN' is not a finite number"},
        {"'-Infinity'::float8", "'-Infinity' is not a finite number"},
        {"'NaN'::numeric(18,0)", "'NaN' does not fit an integer field"},
        {"1e400::numeric", "is beyond the range of a float field"},
        {"repeat('x', 64 * 1024 * 1024 + 1)",
         "the value holds 67108865 bytes, more than 67108864, the bound on one value"},
    };
    for (const auto& [value, words] : refused) {
        const std::string message = loadError(std::string("SELECT 1 AS n, ") + value + " AS v");
        EXPECT_TRUE(message.find("row 1, column 2 (v): ") != std::string::npos &&
                    message.find(words) != std::string::npos)
            << value << "\n"
            << message;
    }
}

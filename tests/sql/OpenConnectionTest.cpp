// Loading over a connection the host opened itself: the rows load as through a URL, the connection
// stays the host's (open, usable, unchanged), and one that is not open is refused by name.
#include "SqlTestSupport.h"

#include <qmr41726/rtl/Exception.h>
#include <qmr41726/sql/SqlLoader.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace qmr;

namespace {

/// A connection opened the way a host opens its own, to the test database.
class OpenConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        const SqlConnection where = parseDatabaseUrl(server().url(testDatabase()));
        database = QSqlDatabase::addDatabase("QPSQL", "host-own");
        database.setHostName(QString::fromStdString(where.servers.at(0).host));
        database.setDatabaseName(QString::fromStdString(where.databaseName));
        database.setUserName(QString::fromStdString(where.user));
        database.setPassword(QString::fromStdString(where.password));
        ASSERT_TRUE(database.open()) << database.lastError().text().toStdString();
    }
    void TearDown() override {
        database.close();
        database = QSqlDatabase();
        QSqlDatabase::removeDatabase("host-own");
    }

    QSqlDatabase database;
};

std::string loadError(QSqlDatabase& database, const std::string& query) {
    try {
        loadSqlQuery(database, query, "till-3");
    } catch (const EDatabaseError& error) {
        return error.Message();
    }
    return "no error";
}

} // namespace

TEST_F(OpenConnectionTest, rowsLoadAndTheConnectionStaysOpenAndUnchanged) {
    const auto rows = loadSqlQuery(database, "SELECT 'Caf\xC3\xA9'::varchar(8) AS name, 42 AS n", "till-3");
    ASSERT_EQ(rows->rowCount(), 1);
    EXPECT_EQ(rows->text(0, 0), "Caf\xE9");
    EXPECT_EQ(rows->fieldDef(0).size, 8);
    EXPECT_EQ(rows->text(0, 1), "42");

    // A setting made inside the load's transaction is undone with it, on the host's connection too.
    loadSqlQuery(database, "SELECT set_config('application_name', 'changed-by-a-load', false)", "till-3");
    ASSERT_TRUE(database.isOpen());
    QSqlQuery check(database);
    ASSERT_TRUE(check.exec("SHOW application_name") && check.next());
    EXPECT_NE(check.value(0).toString(), "changed-by-a-load");
}

TEST_F(OpenConnectionTest, closedConnectionOrMissingDriverIsRefusedByName) {
    database.close();
    EXPECT_EQ(loadError(database, "SELECT 1"), "till-3: the connection is not open");

    SqlConnection missing;
    missing.driver = "QNOSUCHDB";
    missing.source = "nosuchdb://till-3";
    try {
        loadSqlQuery(missing, "SELECT 1");
        FAIL() << "loaded without a driver";
    } catch (const EDatabaseError& error) {
        EXPECT_NE(error.Message().find("nosuchdb://till-3: the Qt SQL driver QNOSUCHDB is not installed "
                                       "(installed: "),
                  std::string::npos)
            << error.Message();
        EXPECT_NE(error.Message().find("QPSQL"), std::string::npos) << error.Message();
    }
}

// A load given up half-way through an endless result, or refused at a value, leaves the host's
// connection idle: the next load and the host's own queries run on it at once.
TEST_F(OpenConnectionTest, aLoadGivenUpHalfWayLeavesTheConnectionReady) {
    const char* endless = "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x";
    const struct {
        std::string query;
        LoadLimits limits;
        const char* words;
    } cases[] = {
        {std::string(endless) + " FROM c",
         {.maxRows = 1000},
         "row 1001: the query returns more than 1000 rows"},
        {std::string(endless) + ", CASE WHEN x = 500 THEN '-infinity'::date END AS d FROM c",
         {},
         "row 500, column 2 (d): the date '-infinity' is endless"},
        {"SELECT 1 / (500 - x) AS v FROM generate_series(1, 600) AS x", {}, "failed after 499 rows"},
    };
    for (const auto& c : cases) {
        try {
            loadSqlQuery(database, c.query, "till-3", c.limits);
            ADD_FAILURE() << "loaded without an error: " << c.query;
        } catch (const EDatabaseError& error) {
            EXPECT_NE(error.Message().find(c.words), std::string::npos) << error.Message();
        }
        const auto rows = loadSqlQuery(database, "SELECT 7 AS n", "till-3");
        EXPECT_EQ(rows->text(0, 0), "7") << c.query;
        QSqlQuery check(database);
        EXPECT_TRUE(check.exec("SELECT 1") && check.next()) << check.lastError().text().toStdString();
    }
}

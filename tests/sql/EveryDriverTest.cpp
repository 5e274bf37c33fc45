// Every driver a URL names, against a real server the program starts: PostgreSQL (postgresql://),
// MariaDB (mysql://, through its socket) and ODBC (odbc:, Debian's PostgreSQL ODBC driver with a
// data source in an odbc.ini of the test's own). Each loads the sample customers as the CSV load of
// the same rows has them, gives the host the same search, and fails on a stopped server, a wrong
// password, an unknown database and a bad query with the right kind and the server's words.
#include "HostProcess.h"
#include "MariaDbServer.h"
#include "SqlTestSupport.h"

#include <qmr41726/rtl/AnsiString.h>
#include <qmr41726/sql/SourceLoader.h>

#include <QDir>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <functional>
#include <memory>

using namespace qmr;

namespace {

const char* const kCustomers = QMR_SOURCE_DIR "/data/clientes.csv";

// Debian's PostgreSQL ODBC driver (Unicode), in the machine's multiarch folder; empty when missing.
QString postgresOdbcDriver() {
    for (const QFileInfo& folder : QDir("/usr/lib").entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (const QString driver = folder.filePath() + "/odbc/psqlodbcw.so"; QFile::exists(driver))
            return driver;
    }
    return {};
}

/// One driver under test: how to reach its server and how its server words each failure.
struct Driver {
    const char* name;
    std::function<std::string(const QString& database)> url;
    /// Stops or starts the driver's server; why it could not, or nothing.
    std::function<std::string(bool running)> setRunning;
    /// The server a load names (none through ODBC, whose data source names it).
    std::function<SqlServer()> servedBy;
    const char* wrongPassword;
    const char* unknownDatabase;
    const char* badQuery;
    const char* stopped;
};

// Writes `rows` into a new table on `db`, column names quoted so they keep their letter case.
void createTable(QSqlDatabase& db, const QString& table, const TColumnStore& rows) {
    QStringList columns;
    QStringList marks;
    for (int c = 0; c < rows.fieldCount(); ++c) {
        // The customers have whole numbers and text.
        const TFieldDef& def = rows.fieldDef(c);
        const QString type =
            def.type == TFieldType::ftInteger ? QString("integer") : QString("varchar(%1)").arg(def.size);
        columns.append(
            db.driver()->escapeIdentifier(QString::fromStdString(def.name), QSqlDriver::FieldName) + " " +
            type);
        marks.append("?");
    }
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec("CREATE TABLE " + table + " (" + columns.join(", ") + ")"))
        << query.lastError().text().toStdString();
    ASSERT_TRUE(db.transaction());
    ASSERT_TRUE(query.prepare("INSERT INTO " + table + " VALUES (" + marks.join(", ") + ")"));
    for (int r = 0; r < rows.rowCount(); ++r) {
        for (int c = 0; c < rows.fieldCount(); ++c)
            query.bindValue(c, QString::fromStdString(ansiToUtf8(rows.text(r, c))));
        ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
    }
    ASSERT_TRUE(db.commit());
}

// Runs `body` on a connection of `driver` to the test server at `socket` (a PostgreSQL socket
// folder, MariaDB's socket file).
template <typename Body> void withServer(const QString& driver, const QString& socket, Body body) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, "qmr-test-setup");
        db.setDatabaseName(testDatabase());
        db.setUserName(testUser());
        db.setPassword(testPassword());
        if (driver == "QMYSQL")
            db.setConnectOptions("UNIX_SOCKET=" + socket);
        else
            db.setHostName(socket);
        ASSERT_TRUE(db.open()) << driver.toStdString() << ": " << db.lastError().text().toStdString();
        body(db);
    }
    QSqlDatabase::removeDatabase("qmr-test-setup");
}

class EveryDriverTest : public ::testing::Test {
protected:
    // MariaDB and the ODBC data sources join the program's PostgreSQL; both servers get the sample
    // customers.
    static void SetUpTestSuite() {
        customers = loadSource(kCustomers).store;
        ASSERT_TRUE(customers) << kCustomers;
        mariaDb = std::make_unique<MariaDbServer>();
        ASSERT_TRUE(mariaDb->create(testDatabase())) << "MariaDB cannot start: " << mariaDb->error();
        withServer("QPSQL", server().socketFolder(),
                   [](QSqlDatabase& db) { createTable(db, "clientes", *customers); });
        withServer("QMYSQL", mariaDb->socketPath(),
                   [](QSqlDatabase& db) { createTable(db, "clientes", *customers); });
        writeOdbcSources();
    }
    static void TearDownTestSuite() {
        mariaDb.reset();
        odbc.reset();
    }

    // A data source for each database the tests name, in an odbc.ini of the program's own.
    static void writeOdbcSources() {
        const QString driver = postgresOdbcDriver();
        ASSERT_FALSE(driver.isEmpty())
            << "no /usr/lib/*/odbc/psqlodbcw.so; scripts/install-deps installs odbc-postgresql";
        odbc = std::make_unique<QTemporaryDir>();
        QFile drivers(odbc->filePath("odbcinst.ini"));
        ASSERT_TRUE(drivers.open(QIODevice::WriteOnly));
        drivers.write("[PostgreSQL Unicode]\nDriver = " + driver.toUtf8() + "\n");
        QFile sources(odbc->filePath("odbc.ini"));
        ASSERT_TRUE(sources.open(QIODevice::WriteOnly));
        for (const QString& database : {testDatabase(), QString("nowhere")})
            sources.write(QString("[qmr-%1]\nDriver = PostgreSQL Unicode\nServername = %2\nPort = %3\n"
                                  "Database = %1\nUsername = %4\n\n")
                              .arg(database, server().socketFolder())
                              .arg(server().port())
                              .arg(testUser())
                              .toUtf8());
        qputenv("ODBCSYSINI", odbc->path().toUtf8());
        qputenv("ODBCINI", sources.fileName().toUtf8());
    }

    static std::vector<Driver> drivers() {
        const auto postgres = [](bool running) {
            return (running ? server().start() : server().stop()) ? std::string() : server().error();
        };
        const auto mariaDbRunning = [](bool running) {
            return (running ? mariaDb->start() : mariaDb->stop()) ? std::string() : mariaDb->error();
        };
        return {
            {"PostgreSQL", [](const QString& database) { return server().url(database); }, postgres,
             [] {
                 return SqlServer{server().socketFolder().toStdString(), server().port()};
             },
             "password authentication failed for user \"qmr\"", "database \"nowhere\" does not exist",
             "column \"nope\" does not exist", "No such file or directory"},
            {"MariaDB", [](const QString& database) { return mariaDb->url(database); }, mariaDbRunning,
             [] {
                 return SqlServer{mariaDb->socketPath().toStdString(), -1};
             },
             "Access denied for user 'qmr'@'localhost'", "Unknown database 'nowhere'",
             "Unknown column 'nope'", "Can't connect to local server through socket"},
            {"ODBC", [](const QString& database) { return "odbc:qmr-" + database.toStdString(); }, postgres,
             [] { return SqlServer{}; }, "password authentication failed for user \"qmr\"",
             "database \"nowhere\" does not exist", "column \"nope\" does not exist",
             "No such file or directory"},
        };
    }

    inline static std::shared_ptr<const TColumnStore> customers;
    inline static std::unique_ptr<MariaDbServer> mariaDb;
    inline static std::unique_ptr<QTemporaryDir> odbc;
};

// The message of a load that must fail, after checking its kind.
std::string failure(const Driver& driver, const std::string& url, const char* query, LoadErrorKind kind) {
    const LoadResult result = loadSource(url, query);
    if (result) {
        ADD_FAILURE() << driver.name << ": loaded " << url << " " << query;
        return {};
    }
    EXPECT_STREQ(loadErrorKindName(result.error->kind), loadErrorKindName(kind))
        << driver.name << ": " << result.error->message;
    return ansiToUtf8(result.error->message);
}

} // namespace

TEST_F(EveryDriverTest, rowsAndSearchesEqualTheCsvLoadOfTheSameRows) {
    const HostRun csv =
        runHost({"--data", kCustomers, "--keys", "probe touch:sbtJ touch:sbtO probe touch:sbtEnter"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    for (const Driver& driver : drivers()) {
        const std::string url = driver.url(testDatabase());
        const std::string query = "SELECT * FROM clientes ORDER BY 1"; // in the file's order
        const LoadResult served = loadSource(url, query);
        ASSERT_TRUE(served) << driver.name << ": " << served.error->message;
        EXPECT_EQ(served.server, driver.servedBy()) << driver.name << ": " << served.server.text();
        ASSERT_EQ(served.store->rowCount(), customers->rowCount()) << driver.name;
        ASSERT_EQ(served.store->fieldCount(), customers->fieldCount()) << driver.name;
        for (int c = 0; c < customers->fieldCount(); ++c) {
            const TFieldDef& want = customers->fieldDef(c);
            const TFieldDef& got = served.store->fieldDef(c);
            EXPECT_EQ(got.name, want.name) << driver.name;
            EXPECT_EQ(got.type, want.type) << driver.name << " " << want.name;
            EXPECT_EQ(got.size, want.size) << driver.name << " " << want.name;
            for (int r = 0; r < customers->rowCount(); ++r)
                ASSERT_EQ(served.store->text(r, c), customers->text(r, c)) << driver.name << " row " << r;
        }
        const HostRun run =
            runHost({"--db", QString::fromStdString(url), "--query", QString::fromStdString(query), "--keys",
                     "probe touch:sbtJ touch:sbtO probe touch:sbtEnter"});
        ASSERT_EQ(run.exitCode, 0) << driver.name << ": " << run.err.toStdString();
        for (const char* key :
             {"result", "filter", "filtered", "index", "recordCount", "recNo", "row", "probes"})
            EXPECT_EQ(run.json[key], csv.json[key]) << driver.name << " " << key;
    }
}

TEST_F(EveryDriverTest, eachFaultFailsWithItsKindInTheServersWords) {
    for (const Driver& driver : drivers()) {
        const std::string url = driver.url(testDatabase());
        qputenv("QMR_DB_PASSWORD", "not-the-password");
        const std::string wrongPassword = failure(driver, url, "SELECT 1", LoadErrorKind::Refused);
        qputenv("QMR_DB_PASSWORD", testPassword().toUtf8());
        EXPECT_NE(wrongPassword.find(driver.wrongPassword), std::string::npos)
            << driver.name << ": " << wrongPassword;

        const std::string unknown =
            failure(driver, driver.url("nowhere"), "SELECT 1", LoadErrorKind::Refused);
        EXPECT_NE(unknown.find(driver.unknownDatabase), std::string::npos) << driver.name << ": " << unknown;

        const std::string badQuery =
            failure(driver, url, "SELECT nope FROM clientes", LoadErrorKind::Refused);
        EXPECT_NE(badQuery.find("the query failed"), std::string::npos) << driver.name << ": " << badQuery;
        EXPECT_NE(badQuery.find(driver.badQuery), std::string::npos) << driver.name << ": " << badQuery;

        // Several statements run none of them, and one that writes changes nothing.
        const std::string several =
            failure(driver, url, "SELECT 1 AS a; DROP TABLE clientes", LoadErrorKind::Refused);
        EXPECT_NE(several.find("a load runs exactly one"), std::string::npos)
            << driver.name << ": " << several;
        EXPECT_FALSE(loadSource(url, "DELETE FROM clientes")) << driver.name;
        const LoadResult kept = loadSource(url, "SELECT * FROM clientes");
        ASSERT_TRUE(kept) << driver.name;
        EXPECT_EQ(kept.store->rowCount(), customers->rowCount()) << driver.name;

        ASSERT_EQ(driver.setRunning(false), "") << driver.name;
        const std::string stopped = failure(driver, url, "SELECT 1", LoadErrorKind::ServerUnreachable);
        ASSERT_EQ(driver.setRunning(true), "") << driver.name;
        EXPECT_NE(stopped.find("cannot connect"), std::string::npos) << driver.name << ": " << stopped;
        EXPECT_NE(stopped.find(driver.stopped), std::string::npos) << driver.name << ": " << stopped;
    }
}

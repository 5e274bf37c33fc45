// The host application over a catalogue on the server: a search finds the rows the CSV load of the
// same rows finds, and each fault stops the run with status 2 and a message naming it.
#include "HostProcess.h"
#include "SqlTestSupport.h"

#include <QJsonArray>

namespace {

QString socketUrl(const QString& user, const QString& database) {
    return "postgresql://" + user + "@/" + database + "?host=" + server().socketFolder();
}

QString catalogueUrl() {
    return socketUrl(PostgresServer::user(), testDatabase());
}

class ServerHostTest : public ::testing::Test {
protected:
    // The rows of HostData::products(), on the server.
    static void SetUpTestSuite() {
        execute(
            "CREATE TABLE IF NOT EXISTS produtos (CODIGO integer, DESCRICAO varchar(30), MARCA varchar(20));"
            "TRUNCATE produtos;"
            "INSERT INTO produtos VALUES (1, 'Joia de prata', 'Aurora'), (2, 'Arroz branco', 'Tio'),"
            " (3, 'JORNAL do dia', 'Banca'), (4, 'Feijao preto', 'Tio'), (5, 'jogo de copos', 'Casa')");
    }
};

} // namespace

TEST_F(ServerHostTest, searchOverTheServerCatalogueFindsWhatTheCsvLoadFinds) {
    HostData data;
    const QString keys = "probe touch:sbtJ touch:sbtO probe touch:sbtEnter";
    // Quoted names keep the upper case the CSV header has.
    const HostRun server =
        runHost({"--db", catalogueUrl(), "--query",
                 "SELECT CODIGO AS \"CODIGO\", DESCRICAO AS \"DESCRICAO\", MARCA AS \"MARCA\" "
                 "FROM produtos",
                 "--keys", keys});
    const HostRun csv = runHost({"--data", data.products(), "--keys", keys});
    ASSERT_EQ(server.exitCode, 0) << server.err.toStdString();
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    EXPECT_EQ(server.json["recordCount"].toInt(), 3);
    for (const char* key : {"result", "filter", "filtered", "index", "recordCount", "recNo", "row", "probes"})
        EXPECT_EQ(server.json[key], csv.json[key]) << key;
}

TEST_F(ServerHostTest, serverFaultsExitTwoNamingWhatFailed) {
    struct Case {
        QString url;
        const char* query;
        std::vector<const char*> fragments;
    };
    const QString nowhere = server().socketFolder() + "/no-server-here";
    const Case cases[] = {
        {"postgresql://qmr@/shop?host=" + nowhere,
         "SELECT 1",
         {"cannot connect", "No such file or directory"}},
        {socketUrl("intruder", testDatabase()),
         "SELECT 1",
         {"password authentication failed for user \"intruder\""}},
        {socketUrl(PostgresServer::user(), "nowhere"), "SELECT 1", {"database \"nowhere\" does not exist"}},
        {catalogueUrl(),
         "SELECT price FROM produtos",
         {"the query failed", "column \"price\" does not exist"}},
        {catalogueUrl(),
         "SELECT 'x'::bytea AS photo",
         {"column 1 (photo)", "binary values cannot be loaded"}},
        {catalogueUrl(), "SELECT", {"the query returns no columns"}},
        {"postgresql://qmr:secret@/shop", "SELECT 1", {"holds a password", "--db-password-file"}},
    };
    for (const Case& c : cases) {
        const HostRun run = runHost({"--db", c.url, "--query", c.query, "--keys", "probe"});
        EXPECT_EQ(run.exitCode, 2) << c.query << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << c.query;
        for (const char* fragment : c.fragments)
            EXPECT_TRUE(run.err.contains(fragment)) << c.url.toStdString() << " " << c.query << "\n"
                                                    << run.err.toStdString();
    }
}

TEST_F(ServerHostTest, repeatedRunReportsTheServerThatGaveTheCatalogue) {
    const HostRun run = runHost({"--db", catalogueUrl(), "--query", "SELECT CODIGO FROM produtos", "--repeat",
                                 "1", "--keys", "touch:sbtSair"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject source = run.json["source"].toObject();
    EXPECT_EQ(source["kind"].toString(), "postgresql");
    EXPECT_EQ(source["server"].toString(), server().socketFolder() + ":" + QString::number(server().port()));
}

TEST_F(ServerHostTest, serverDownServesTheLocalCopyOfTheLastLoad) {
    HostData data;
    const QString copy = data.path("catalogue.copy");
    const QString query = "SELECT CODIGO AS \"CODIGO\", DESCRICAO AS \"DESCRICAO\" FROM produtos";
    const QString keys = "touch:sbtJ touch:sbtO probe touch:sbtEnter";
    const HostRun loaded =
        runHost({"--db", catalogueUrl(), "--query", query, "--cache", copy, "--keys", keys});
    ASSERT_EQ(loaded.exitCode, 0) << loaded.err.toStdString();
    // No server listens in the scratch folder: the connection fails as with a server that is down.
    const QString down =
        "postgresql://" + PostgresServer::user() + "@/" + testDatabase() + "?host=" + data.path("");
    const HostRun served = runHost({"--db", down, "--query", query, "--cache", copy, "--keys", keys});
    ASSERT_EQ(served.exitCode, 0) << served.err.toStdString();
    EXPECT_EQ(served.json["source"].toObject()["kind"].toString(), "cache");
    EXPECT_TRUE(served.json["source"].toObject()["reason"].toString().contains("connect"))
        << served.json["source"].toObject()["reason"].toString().toStdString();
    for (const char* key : {"result", "recordCount", "row", "probes"})
        EXPECT_EQ(served.json[key], loaded.json[key]) << key;
}

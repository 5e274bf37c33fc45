// The front door for data: each kind of source a user names, and each way a load fails coming back
// with its kind, from files and from the real PostgreSQL server the program runs.
#include "SqlTestSupport.h"

#include <qmr41726/sql/SourceLoader.h>

#include <QTemporaryDir>

#include <fstream>
#include <sys/stat.h>

using namespace qmr;

namespace {

std::string write(const QTemporaryDir& dir, const char* name, const char* content) {
    const std::string path = dir.filePath(name).toStdString();
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string serverUrl(const std::string& user, const std::string& database) {
    return "postgresql://" + user + "@/" + database + "?host=" + server().socketFolder().toStdString();
}

} // namespace

TEST(SourceLoader, namesGiveTheirKindOfSource) {
    const struct {
        const char* name;
        SourceKind kind;
    } cases[] = {
        {"produtos.csv", SourceKind::CsvFile},
        {"dados.txt", SourceKind::CsvFile},
        {"/var/lib/loja/shop.db", SourceKind::SqliteFile},
        {"SHOP.SQLite3", SourceKind::SqliteFile},
        {"postgresql://pdv@db/estoque", SourceKind::Server},
        {"mysql://db/estoque", SourceKind::Server},
        {"oracle://db/x", SourceKind::Server},
        {"odbc:Estoque", SourceKind::Server},
        {"./odbc.csv", SourceKind::CsvFile},
        {"1http://x.csv", SourceKind::CsvFile},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sourceKindOf(c.name), c.kind) << c.name;
}

TEST(SourceLoader, loadsTheRowsOfAFileAndOfAServer) {
    QTemporaryDir dir;
    const LoadResult csv = loadSource(write(dir, "p.csv", "A:integer,B\n1,um\n2,dois\n"));
    ASSERT_TRUE(csv) << csv.error->message;
    EXPECT_EQ(csv.store->rowCount(), 2);
    EXPECT_FALSE(csv.error);
    const LoadResult served = loadSource(serverUrl(PostgresServer::user().toStdString(), "shop"),
                                         "SELECT 1 AS a UNION ALL SELECT 2");
    ASSERT_TRUE(served) << served.error->message;
    EXPECT_EQ(served.store->rowCount(), 2);
}

TEST(SourceLoader, everyFailureComesBackWithItsKind) {
    QTemporaryDir dir;
    const std::string fifo = dir.filePath("pipe.csv").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string broken = write(dir, "broken.csv", "A:integer\nabc\n");
    const std::string notDatabase = write(dir, "text.db", "this is no database");
    const std::string empty = write(dir, "empty.db", "");
    const std::string owner = PostgresServer::user().toStdString();
    const std::string endless =
        "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT max(x) FROM c";
    const LoadLimits oneSecond{.timeoutSeconds = 1};
    const LoadLimits twoRows{.maxRows = 2};
    const struct {
        std::string name;
        std::string query;
        LoadLimits limits;
        LoadErrorKind kind;
        const char* fragment;
    } cases[] = {
        {dir.filePath("missing.csv").toStdString(),
         "",
         {},
         LoadErrorKind::NotFound,
         "missing.csv: no such file"},
        {dir.path().toStdString(), "", {}, LoadErrorKind::NotRegularFile, " is a directory"},
        {fifo, "", {}, LoadErrorKind::NotRegularFile, "pipe.csv is a FIFO (named pipe)"},
        {broken, "", {}, LoadErrorKind::Malformed, "line 2, column 1: 'abc' is not a whole number"},
        {broken, "SELECT 1", {}, LoadErrorKind::Malformed, "broken.csv is a CSV file, which takes no query"},
        {empty, "", {}, LoadErrorKind::Malformed, "empty.db is an SQLite database: it needs a query"},
        {notDatabase, "SELECT * FROM produtos", {}, LoadErrorKind::Malformed, "file is not a database"},
        {empty, "SELECT * FROM nope", {}, LoadErrorKind::Refused, "no such table: nope"},
        {empty, endless, oneSecond, LoadErrorKind::Timeout, "its time limit of 1 second"},
        {empty, "SELECT 1 AS a UNION ALL SELECT 2 UNION ALL SELECT 3", twoRows, LoadErrorKind::Refused,
         "more than 2 rows"},
        {"postgresql://u:secret@/shop", "SELECT 1", {}, LoadErrorKind::Malformed, "holds a password"},
        {serverUrl(owner, "shop"), "", {}, LoadErrorKind::Malformed, "needs a query naming the rows"},
        {serverUrl(owner, "nowhere"),
         "SELECT 1",
         {},
         LoadErrorKind::Refused,
         "database \"nowhere\" does not exist"},
        {serverUrl("intruder", "shop"),
         "SELECT 1",
         {},
         LoadErrorKind::Refused,
         "password authentication failed"},
        {"postgresql://" + owner + "@/shop?host=" + dir.path().toStdString(),
         "SELECT 1",
         {},
         LoadErrorKind::ServerUnreachable,
         "cannot connect"},
        {serverUrl(owner, "shop"),
         "SELECT nope",
         {},
         LoadErrorKind::Refused,
         "column \"nope\" does not exist"},
        {serverUrl(owner, "shop"), "SELECT pg_sleep(5)", oneSecond, LoadErrorKind::Timeout,
         "its time limit of 1 second"},
    };
    for (const auto& c : cases) {
        const LoadResult result = loadSource(c.name, c.query, c.limits);
        ASSERT_FALSE(result) << c.name << " " << c.query;
        EXPECT_EQ(loadErrorKindName(result.error->kind), std::string(loadErrorKindName(c.kind)))
            << c.name << " " << c.query << ": " << result.error->message;
        EXPECT_NE(result.error->message.find(c.fragment), std::string::npos)
            << c.fragment << " in " << result.error->message;
    }
}

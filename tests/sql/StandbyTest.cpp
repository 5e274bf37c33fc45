// Several PostgreSQL servers in one URL, as libpq reads it: the program's server as the primary
// and a streaming standby of it. The load comes from the first server that takes the connection
// and names it; a standby serves a load (which never writes); with every server stopped the load
// fails as unreachable, naming each server tried.
#include "HostProcess.h"
#include "SqlTestSupport.h"

#include <qmr41726/sql/SourceLoader.h>

#include <QFile>
#include <QUrl>

using namespace qmr;

namespace {

/// The standby listens on another port, in a folder of its own.
constexpr int kStandbyPort = 5433;

class StandbyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        execute("CREATE TABLE IF NOT EXISTS filiais (codigo integer, nome varchar(20));"
                "TRUNCATE filiais;"
                "INSERT INTO filiais VALUES (1, 'Centro'), (2, 'Bairro')");
        standby = std::make_unique<PostgresServer>(kStandbyPort);
        ASSERT_TRUE(standby->createStandbyOf(server())) << "the standby cannot start: " << standby->error();
    }
    static void TearDownTestSuite() { standby.reset(); }

    // Both servers in libpq's multi-host form, socket folders percent-encoded as hosts.
    static std::string url(const std::string& parameters = {}) {
        const auto host = [](const PostgresServer& s) {
            return QUrl::toPercentEncoding(s.socketFolder()) + ":" + QByteArray::number(s.port());
        };
        return "postgresql://" + testUser().toStdString() + "@" + host(server()).toStdString() + "," +
               host(*standby).toStdString() + "/" + testDatabase().toStdString() + parameters;
    }

    inline static std::unique_ptr<PostgresServer> standby;
};

/// Starts the program's server again whatever the test did to it.
struct PrimaryBack {
    ~PrimaryBack() {
        if (!server().running()) {
            EXPECT_TRUE(server().start()) << server().error();
        }
    }
};

const char* const kQuery = "SELECT codigo, nome FROM filiais ORDER BY codigo";

SqlServer at(const PostgresServer& s) {
    return {s.socketFolder().toStdString(), s.port()};
}

} // namespace

TEST_F(StandbyTest, theLoadComesFromTheFirstServerThatTakesItAndNamesIt) {
    struct Case {
        const char* parameters;
        bool primaryRunning;
        const PostgresServer* expected;
    };
    const Case cases[] = {
        {"", true, &server()},
        {"?target_session_attrs=standby", true, standby.get()},
        {"?target_session_attrs=prefer-standby", true, standby.get()},
        {"?target_session_attrs=read-write", true, &server()},
        {"", false, standby.get()},
        {"?target_session_attrs=read-only", false, standby.get()},
    };
    PrimaryBack primaryBack;
    for (const Case& c : cases) {
        if (server().running() && !c.primaryRunning) {
            ASSERT_TRUE(server().stop(false)) << server().error();
        }
        const LoadResult rows = loadSource(url(c.parameters), kQuery);
        ASSERT_TRUE(rows) << c.parameters << ": " << rows.error->message;
        EXPECT_EQ(rows.server, at(*c.expected)) << c.parameters << ": " << rows.server.text();
        ASSERT_EQ(rows.store->rowCount(), 2) << c.parameters;
        EXPECT_EQ(rows.store->text(1, 1), "Bairro") << c.parameters;
    }
}

TEST_F(StandbyTest, withNoServerToServeTheLoadFailsNamingEveryServerTried) {
    PrimaryBack primaryBack;
    ASSERT_TRUE(server().stop(false)) << server().error();
    const LoadResult noPrimary = loadSource(url("?target_session_attrs=read-write"), kQuery);
    ASSERT_FALSE(noPrimary);
    EXPECT_STREQ(loadErrorKindName(noPrimary.error->kind), loadErrorKindName(LoadErrorKind::Refused))
        << "a standby answered, but may not serve: " << noPrimary.error->message;
    EXPECT_NE(noPrimary.error->message.find("read-only"), std::string::npos) << noPrimary.error->message;

    ASSERT_TRUE(standby->stop(false)) << standby->error();
    const LoadResult none = loadSource(url(), kQuery);
    ASSERT_TRUE(standby->start()) << standby->error();
    ASSERT_FALSE(none);
    EXPECT_STREQ(loadErrorKindName(none.error->kind), loadErrorKindName(LoadErrorKind::ServerUnreachable))
        << none.error->message;
    const std::string tried = "cannot connect to any of the servers tried (" + at(server()).text() + ", " +
                              at(*standby).text() + ")";
    EXPECT_NE(none.error->message.find(tried), std::string::npos) << none.error->message;
}

// The host over both servers: every server down, its local copy of the last load serves the same
// rows; the copy damaged too, the run stops naming both faults.
TEST_F(StandbyTest, hostServesItsLocalCopyWhenEveryServerIsDownAndStopsWhenItIsDamagedToo) {
    HostData data;
    const QString copy = data.path("catalogue.copy");
    const QStringList arguments = {
        "--db",   QString::fromStdString(url()), "--query", kQuery, "--cache", copy,
        "--keys", "touch:sbtB probe key:Esc"};
    const HostRun loaded = runHost(arguments);
    ASSERT_EQ(loaded.exitCode, 0) << loaded.err.toStdString();
    EXPECT_EQ(loaded.json["source"].toObject()["server"].toString().toStdString(), at(server()).text());

    PrimaryBack primaryBack;
    ASSERT_TRUE(server().stop(false)) << server().error();
    ASSERT_TRUE(standby->stop(false)) << standby->error();
    const HostRun served = runHost(arguments);
    QFile file(copy);
    const bool opened = file.open(QIODevice::ReadWrite);
    file.seek(file.size() / 2);
    const QByteArray byte = file.peek(1);
    file.write(QByteArray(1, char(byte.at(0) ^ 0x5A)));
    file.close();
    const HostRun refused = runHost(arguments);
    ASSERT_TRUE(standby->start()) << standby->error();

    ASSERT_EQ(served.exitCode, 0) << served.err.toStdString();
    EXPECT_EQ(served.json["source"].toObject()["kind"].toString(), "cache");
    EXPECT_EQ(served.json["probes"], loaded.json["probes"]);
    ASSERT_TRUE(opened);
    EXPECT_EQ(refused.exitCode, 2);
    for (const char* fault :
         {"cannot connect to any of the servers tried", "the local copy could not serve instead", "checksum"})
        EXPECT_TRUE(refused.err.contains(fault)) << fault << " in: " << refused.err.toStdString();
}

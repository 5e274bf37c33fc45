// A load never writes and never outlasts its time limit, whatever the query asks of the server:
// each hostile query is run by the host application against the test cluster, which must be
// unchanged afterwards, and the host must stop with status 2 naming why.
#include "HostProcess.h"
#include "SqlTestSupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace {

QString catalogueUrl() {
    return QString::fromStdString(server().url(testDatabase()));
}

// What a write would change: a table's rows, a sequence's position, and the table a function's
// audit trail goes to.
QString databaseState() {
    return queryValue(
        "SELECT (SELECT count(*) FROM victim) || ',' || (SELECT last_value || '/' || is_called FROM "
        "victim_seq) || ',' || (SELECT count(*) FROM audit)");
}

class LoadSafetyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        execute("CREATE TABLE IF NOT EXISTS victim (id integer);"
                "TRUNCATE victim;"
                "INSERT INTO victim VALUES (1), (2);"
                "CREATE SEQUENCE IF NOT EXISTS victim_seq;"
                "CREATE TABLE IF NOT EXISTS audit (at timestamptz);"
                "CREATE OR REPLACE FUNCTION audited() RETURNS integer LANGUAGE sql AS "
                "'INSERT INTO audit VALUES (now()) RETURNING 1'");
    }
};

// The backend of a session running `query`, found from a session of the test's own; 0 when none
// shows within a few seconds.
QString backendRunning(const QString& query) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString pid = queryValue("SELECT coalesce(max(pid), 0) FROM pg_stat_activity WHERE query = '" +
                                       query + "' AND pid <> pg_backend_pid()");
        if (pid != "0")
            return pid;
        QThread::msleep(50);
    }
    return "0";
}

} // namespace

TEST_F(LoadSafetyTest, queriesThatWouldWriteAreRefusedAndChangeNothing) {
    const QString before = databaseState();
    struct Case {
        const char* query;
        const char* reason;
    };
    const char* const several = "the query holds several statements";
    const char* const readOnly = "in a read-only transaction";
    const Case cases[] = {
        {"select 1 as a; commit; drop table victim", several},
        {"select 1 as a; end; drop table victim", several},
        {"select 1 as a; rollback; drop table victim", several},
        {"select 1 as a; abort; drop table victim", several},
        {"select 1 as a; commit and chain; drop table victim", several},
        {"select 1 as a; set transaction read write; drop table victim", several},
        {"set local statement_timeout = 0; select pg_sleep(100)", several},
        {"commit", "the query returns no columns"},
        {"commit and chain", "the query returns no columns"},
        {"select nextval('victim_seq') as n", readOnly},
        {"select audited() as a", readOnly},
        {"with gone as (delete from victim returning id) select id from gone", readOnly},
        {"select set_config('transaction_read_only', 'off', true) as a, audited() as b",
         "read-write mode must be set before any query"},
    };
    for (const Case& c : cases) {
        const HostRun run = runHost({"--db", catalogueUrl(), "--query", c.query, "--keys", "probe"});
        EXPECT_EQ(run.exitCode, 2) << c.query << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.reason)) << c.query << "\n" << run.err.toStdString();
        EXPECT_EQ(databaseState(), before) << c.query;
    }
}

// The host keeps the time limit by its own clock: a query that turns the server's limit off, and a
// backend frozen mid-query that answers nothing, not even the cancel request, are both given up
// at the host's limit.
TEST_F(LoadSafetyTest, theHostGivesUpAtItsOwnTimeLimitWhateverTheServerDoes) {
    constexpr int kLimitSeconds = 2;
    const struct {
        QString query;
        bool freezeBackend;
    } cases[] = {
        {"select set_config('statement_timeout', '0', true) as off, pg_sleep(100) as slept", false},
        {"select pg_sleep(60) as slept", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query.toStdString());
        QProcess host;
        QElapsedTimer clock;
        clock.start();
        startHost(host, {"--db", catalogueUrl(), "--query", c.query, "--query-timeout",
                         QString::number(kLimitSeconds), "--keys", "probe"});
        QString backend = "0";
        if (c.freezeBackend) {
            backend = backendRunning(c.query);
            ASSERT_NE(backend, "0") << "the load's query never showed in pg_stat_activity";
            ASSERT_EQ(::kill(pid_t(backend.toInt()), SIGSTOP), 0)
                << "cannot stop backend " << backend.toStdString();
        }
        const bool finished = host.waitForFinished(30000);
        const qint64 elapsed = clock.elapsed();
        if (backend != "0")
            ::kill(pid_t(backend.toInt()), SIGCONT);
        if (!finished)
            host.kill();
        ASSERT_TRUE(finished) << "the host still waits for the server";
        EXPECT_EQ(host.exitCode(), 2);
        const QByteArray err = host.readAllStandardError();
        EXPECT_TRUE(err.contains("the query ran longer than its time limit of 2 seconds"))
            << err.toStdString();
        EXPECT_LE(elapsed, (kLimitSeconds + 2) * 1000) << err.toStdString();
    }
}

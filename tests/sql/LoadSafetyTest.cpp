// A load never writes and never outlasts its time limit, whatever the query asks of the server:
// the host application runs each hostile query against the test cluster, which must be unchanged
// afterwards, and stops with status 2 naming why.
#include "HostProcess.h"
#include "SqlTestSupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace {

const QString kUrl = "postgresql://qmr@/shop?host=";

// What a write would change: a table's rows, a sequence, the table a function writes its audit to.
QString databaseState() {
    return queryValue("SELECT (SELECT count(*) FROM victim) || (SELECT last_value || ',' || is_called FROM "
                      "victim_seq) || (SELECT count(*) FROM audit)");
}

} // namespace

TEST(LoadSafetyTest, queriesThatWouldWriteAreRefusedAndChangeNothing) {
    execute(
        "CREATE TABLE victim (id integer); INSERT INTO victim VALUES (1), (2); CREATE SEQUENCE victim_seq;"
        "CREATE TABLE audit (at timestamptz); CREATE FUNCTION audited() RETURNS integer LANGUAGE sql AS "
        "'INSERT INTO audit VALUES (now()) RETURNING 1'");
    const QString before = databaseState();
    const char* const several = "the query holds several statements";
    const char* const readOnly = "in a read-only transaction";
    const char* const cases[][2] = {
        {"select 1 as a; commit; drop table victim", several},
        {"select 1 as a; end; drop table victim", several},
        {"select 1 as a; rollback; drop table victim", several},
        {"select 1 as a; abort; drop table victim", several},
        {"select 1 as a; commit and chain; drop table victim", several},
        {"set local statement_timeout = 0; select pg_sleep(100)", several},
        {"commit and chain", "the query returns no columns"},
        {"select nextval('victim_seq') as n", readOnly},
        {"select audited() as a", readOnly},
        {"with gone as (delete from victim returning id) select id from gone", readOnly},
        {"select set_config('transaction_read_only', 'off', true) as a, audited() as b", "read-write mode"},
    };
    for (const auto& [query, reason] : cases) {
        const HostRun run =
            runHost({"--db", kUrl + server().socketFolder(), "--query", query, "--keys", "probe"});
        EXPECT_EQ(run.exitCode, 2) << query << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(reason)) << query << "\n" << run.err.toStdString();
        EXPECT_EQ(databaseState(), before) << query;
    }
}

// The host keeps the time limit by its own clock: a query that turns the server's limit off, and a
// backend frozen mid-query that answers nothing, not even the cancel request, are both given up.
TEST(LoadSafetyTest, theHostGivesUpAtItsOwnTimeLimitWhateverTheServerDoes) {
    for (const bool freeze : {false, true}) {
        const QString query =
            freeze ? "select pg_sleep(60) as slept"
                   : "select set_config('statement_timeout', '0', true) as off, pg_sleep(100) as b";
        QProcess host;
        startHost(host, {"--db", kUrl + server().socketFolder(), "--query", query, "--query-timeout", "2",
                         "--keys", "probe"});
        // The clock starts once the server runs the query, so the host's own start (seconds under
        // the sanitizers on a busy machine) is not counted against its time limit.
        QString backend = "0";
        for (int attempt = 0; backend == "0" && attempt < 400; ++attempt, QThread::msleep(50))
            backend = queryValue("SELECT coalesce(max(pid), 0) FROM pg_stat_activity WHERE query = '" +
                                 QString(query).replace("'", "''") + "'");
        QElapsedTimer clock;
        clock.start();
        // pid 0 would be the test's own process group.
        ASSERT_TRUE(backend != "0" && (!freeze || ::kill(pid_t(backend.toInt()), SIGSTOP) == 0))
            << "no backend to stop: " << backend.toStdString();
        const bool finished = host.waitForFinished(30000);
        const qint64 elapsed = clock.elapsed();
        if (freeze)
            ::kill(pid_t(backend.toInt()), SIGCONT);
        ASSERT_TRUE(finished) << query.toStdString() << ": the host still waits for the server";
        EXPECT_EQ(host.exitCode(), 2);
        const QByteArray err = host.readAllStandardError();
        EXPECT_TRUE(err.contains("the query ran longer than its time limit of 2 seconds"))
            << err.toStdString();
        EXPECT_LE(elapsed, 4000) << query.toStdString() << ": " << err.toStdString();
    }
}

// A server's words reach the terminal cut and escaped however much a function raises: errors
// quoted in part, notices only when asked for (qmr.sql.notice), each cut.
TEST(LoadSafetyTest, serverErrorsAndNoticesAreCutAndEscaped) {
    // An E'' body, so that its semicolons can be written \073: execute() splits on them.
    execute(
        R"(CREATE FUNCTION noisy(kind text) RETURNS integer LANGUAGE plpgsql AS E'DECLARE words text )"
        R"(:= repeat(E''\\033[2J\\033]0\073owned\\007'', 100000)\073 BEGIN IF kind = ''error'' THEN RAISE )"
        R"(EXCEPTION ''%'', words\073 END IF\073 FOR i IN 1..50 LOOP RAISE NOTICE ''%'', words\073 END LOOP\073 )"
        R"(RETURN 1\073 END')");
    QProcessEnvironment quiet = QProcessEnvironment::systemEnvironment(), shown = quiet;
    shown.insert("QT_LOGGING_RULES", "qmr.sql.notice.info=true");
    const struct {
        const char* kind;
        const QProcessEnvironment& environment;
        int exitCode;
        qsizetype maxBytes; // 1000 bytes a text, a control byte written as 4
    } cases[] = {{"error", quiet, 2, 5000}, {"notice", quiet, 0, 1000}, {"notice", shown, 0, 50 * 4100}};
    for (const auto& c : cases) {
        const QString query = QString("select noisy('%1'::text) as n").arg(c.kind);
        const HostRun run = runHostWith(
            {"--db", kUrl + server().socketFolder(), "--query", query, "--keys", "probe"}, c.environment);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.kind << "\n" << run.err.left(600).toStdString();
        EXPECT_LT(run.err.size(), c.maxBytes) << c.kind;
        EXPECT_EQ(run.err.contains("\\x1B[2J\\x1B]0;owned\\x07"), c.maxBytes > 1000) << c.kind;
        EXPECT_FALSE(
            std::any_of(run.err.begin(), run.err.end(), [](char b) { return uchar(b) < 0x20 && b != '\n'; }));
    }
}

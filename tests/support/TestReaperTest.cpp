// The reaper every test program runs under: a program that crashes after starting a daemon (a
// server that leaves its parent and its process group, as pg_ctl's postmaster does) still has the
// daemon stopped, and the crash is still the test's result.
#include <QProcess>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

namespace {

TEST(TestReaper, stopsTheDaemonOfAProgramThatCrashedAndKeepsItsStatus) {
    // The inner shell prints its own process id and becomes the sleeping daemon in its own session.
    const QString script = "setsid -f sh -c 'echo $$; exec sleep 600'; sleep 0.2; kill -SEGV $$";
    QProcess reaper;
    reaper.start(QStringLiteral(QMR_TEST_REAPER), {"sh", "-c", script});
    ASSERT_TRUE(reaper.waitForFinished(30000)) << "the reaper did not end";
    const int daemon = QString::fromLatin1(reaper.readAllStandardOutput()).trimmed().toInt();
    ASSERT_GT(daemon, 0) << "the script printed no process id";
    EXPECT_EQ(reaper.exitCode(), 128 + SIGSEGV);
    EXPECT_TRUE(QString::fromLocal8Bit(reaper.readAllStandardError()).contains("left 1 process running"));
    EXPECT_TRUE(kill(daemon, 0) != 0 && errno == ESRCH) << "the daemon " << daemon << " is still running";
}

} // namespace

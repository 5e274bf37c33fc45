// The host application's repeat mode, run as the kiosk runs it: --repeat calls the screen again on
// the same loaded catalogue, one JSON line per call; a stop signal closes an open screen as its
// Exit key does; --refresh loads the catalogue again and swaps it in between two calls.
#include "HostProcess.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <functional>

namespace {

/// Products whose descriptions begin with J (two) and O (two, one in lower case).
const QByteArray kProducts = "CODIGO:integer,DESCRICAO:string(30),MARCA:string(20)\n"
                             "1,Joia de prata,Aurora\n"
                             "2,Ovo caipira,Granja\n"
                             "3,JORNAL do dia,Banca\n"
                             "4,Feijao preto,Tio\n"
                             "5,oleo de soja,Soya\n";

/// The members that say what a call left in the data set and on the screen.
QJsonObject callState(QJsonObject line) {
    for (const char* member : {"call", "source", "reopenMs", "timings"})
        line.remove(member);
    return line;
}

/// Replaces a data file whole, as a store's export does (a rename), so a load never sees half of it.
void replaceFile(const HostData& data, const QString& path, const QByteArray& content) {
    const QString next = data.write("next.tmp", content);
    ASSERT_EQ(std::rename(next.toUtf8().constData(), path.toUtf8().constData()), 0) << path.toStdString();
}

/// Waits for the running host's next complete line on stdout; empty if none came in time.
QByteArray nextLine(QProcess& host, QByteArray& pending) {
    QDeadlineTimer deadline(30000);
    while (!pending.contains('\n') && !deadline.hasExpired()) {
        if (!host.waitForReadyRead(int(deadline.remainingTime())) && host.state() != QProcess::Running)
            break;
        pending += host.readAllStandardOutput();
    }
    const qsizetype end = pending.indexOf('\n');
    if (end < 0)
        return {};
    const QByteArray line = pending.left(end + 1);
    pending.remove(0, end + 1);
    return line;
}

/// Waits for the host to end; its exit status, or -1 if it crashed or had to be killed.
int finish(QProcess& host, QByteArray& out, QByteArray& err) {
    if (!host.waitForFinished(30000)) {
        ADD_FAILURE() << "the host did not end";
        host.kill();
        host.waitForFinished();
    }
    out += host.readAllStandardOutput();
    err = host.readAllStandardError();
    return host.exitStatus() == QProcess::NormalExit ? host.exitCode() : -1;
}

} // namespace

TEST(RepeatMode, eachCallWritesOneLineAndStartsAsTheFirstDid) {
    HostData data;
    const QString products = data.write("produtos.csv", kProducts);
    struct Case {
        const char* what;
        QStringList arguments;
        int exitCode;
        /// Checks the lines of the run.
        std::function<void(const QList<QJsonObject>&)> check;
    };
    const Case cases[] = {
        {"three calls, one script across them",
         {"--repeat", "3", "--keys", "touch:sbtJ touch:sbtEnter touch:sbtO touch:sbtEnter touch:sbtSair"},
         0,
         [](const QList<QJsonObject>& lines) {
             ASSERT_EQ(lines.size(), 3);
             EXPECT_TRUE(lines[0]["result"].toBool());
             EXPECT_TRUE(lines[0]["row"]["DESCRICAO"].toString().toUpper().startsWith("J"));
             EXPECT_EQ(lines[0]["recordCount"].toInt(), 2);
             EXPECT_TRUE(lines[1]["result"].toBool());
             EXPECT_TRUE(lines[1]["row"]["DESCRICAO"].toString().toUpper().startsWith("O"))
                 << "the second search starts afresh, not within the first one's rows";
             EXPECT_EQ(lines[1]["recordCount"].toInt(), 2);
             EXPECT_FALSE(lines[2]["result"].toBool(true));
             EXPECT_EQ(lines[2]["filter"].toString(), "");
             EXPECT_EQ(lines[2]["recordCount"].toInt(), 5);
             for (int i = 0; i < 3; ++i) {
                 EXPECT_EQ(lines[i]["call"].toInt(), i + 1);
                 EXPECT_EQ(lines[i]["source"]["kind"].toString(), "csv");
                 EXPECT_TRUE(QDateTime::fromString(lines[i]["source"]["loaded"].toString(), Qt::ISODateWithMs)
                                 .isValid());
                 EXPECT_EQ(lines[i]["source"], lines[0]["source"]) << "one load serves every call";
                 EXPECT_FALSE(lines[i].contains("reopenMs")) << "only with --timings";
             }
         }},
        {"the loaded filter, Filtered, index and row put back before each call",
         {"--filter", "CODIGO > 1", "--filtered", "--repeat", "3", "--timings", "--keys",
          "probe touch:sbtO touch:sbtRolarBaixo touch:sbtEnter "
          "probe touch:sbtO touch:sbtRolarBaixo touch:sbtEnter "
          "probe touch:sbtO touch:sbtRolarBaixo touch:sbtEnter"},
         0,
         [](const QList<QJsonObject>& lines) {
             ASSERT_EQ(lines.size(), 3);
             EXPECT_EQ(lines[0]["probes"][0]["rows"].toInt(), 4) << "CODIGO > 1 leaves four rows";
             EXPECT_EQ(lines[0]["recNo"].toInt(), 2);
             EXPECT_TRUE(lines[0]["result"].toBool());
             for (int i = 1; i < 3; ++i)
                 EXPECT_EQ(callState(lines[i]), callState(lines[0])) << "call " << i + 1;
             EXPECT_TRUE(lines[0]["reopenMs"].isNull()) << "no call before the first";
             for (int i = 1; i < 3; ++i) {
                 EXPECT_TRUE(lines[i]["reopenMs"].isDouble()) << "call " << i + 1;
                 EXPECT_GE(lines[i]["reopenMs"].toDouble(), 0.0);
                 EXPECT_EQ(lines[i]["timings"].toArray().size(), 4) << "each call times its own steps";
             }
         }},
        {"the script runs out with a screen open: that screen is closed, reported, and no call follows",
         {"--repeat", "0", "--keys", "touch:sbtJ touch:sbtEnter"},
         3,
         [](const QList<QJsonObject>& lines) {
             ASSERT_EQ(lines.size(), 2);
             EXPECT_TRUE(lines[0]["result"].toBool());
             EXPECT_FALSE(lines[1]["result"].toBool(true));
             EXPECT_EQ(lines[1]["recordCount"].toInt(), 5);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HostRun run = runHost(QStringList{"--data", products} + c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.out.endsWith('\n'));
        c.check(jsonLines(run.out));
    }
}

TEST(RepeatMode, repeatAndRefreshOptionsAreCheckedBeforeAnyCall) {
    HostData data;
    const struct {
        QStringList arguments;
        const char* fragment;
    } cases[] = {
        {{"--repeat"}, "Missing value after '--repeat'"},
        {{"--repeat", "--keys", "probe"}, "--repeat takes a whole number of calls"},
        {{"--repeat", "-1", "--keys", "probe"}, "--repeat takes a whole number of calls"},
        {{"--repeat", "two", "--keys", "probe"}, "not 'two'"},
        {{"--refresh", "60", "--keys", "probe"}, "--refresh needs --repeat"},
        {{"--repeat", "2", "--refresh", "0", "--keys", "probe"}, "--refresh takes a whole number of seconds"},
        {{"--repeat", "2", "--repeat", "3", "--keys", "probe"}, "--repeat is given twice"},
    };
    for (const auto& c : cases) {
        const HostRun run = runHost(QStringList{"--data", data.products()} + c.arguments);
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, 2) << what << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << what << "\n" << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(c.fragment)) << what << "\nstderr: " << run.err.toStdString();
    }
}

TEST(RepeatMode, stopSignalClosesTheOpenScreenAsExitDoesAndEndsTheRun) {
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGINT");
        HostData data;
        QProcess host;
        // The second screen waits with a search typed when the signal comes.
        startHost(host, {"--data", data.products(), "--filter", "CODIGO > 1", "--filtered", "--repeat", "0",
                         "--keys", "touch:sbtJ touch:sbtEnter touch:sbtJ wait:60000 touch:sbtEnter"});
        QByteArray out;
        const QByteArray first = nextLine(host, out);
        ASSERT_FALSE(first.isEmpty()) << host.readAllStandardError().toStdString();
        QThread::msleep(700);
        ::kill(pid_t(host.processId()), signal);
        QByteArray err;
        EXPECT_EQ(finish(host, out, err), 0) << err.toStdString();
        const QList<QJsonObject> lines = jsonLines(first + out);
        ASSERT_EQ(lines.size(), 2) << (first + out).toStdString();
        EXPECT_TRUE(lines[0]["result"].toBool());
        const QJsonObject stopped = lines[1];
        EXPECT_FALSE(stopped["result"].toBool(true));
        EXPECT_EQ(stopped["screen"]["searchText"].toString(), "J")
            << "the screen closed with the search open";
        EXPECT_EQ(stopped["filter"].toString(), "CODIGO > 1") << "Exit puts the search's filter back";
        EXPECT_EQ(stopped["recordCount"].toInt(), 4);
        EXPECT_TRUE(stopped["errors"].toArray().isEmpty()) << (first + out).toStdString();
    }
}

TEST(RepeatMode, refreshSwapsTheCatalogueBetweenCallsOrKeepsItWhenTheLoadFails) {
    const struct {
        const char* what;
        /// The file's content once the first call has returned; empty: the file is removed.
        QByteArray next;
        int lastRows;
        bool reloaded;
    } cases[] = {
        {"the file rewritten", "CODIGO:integer,DESCRICAO:string(30)\n7,Uva\n8,Pera\n", 2, true},
        {"the file gone", "", 5, false},
        {"the file malformed", "CODIGO:integer,DESCRICAO:string(30)\nsete,Uva\n", 5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HostData data;
        const QString products = data.write("produtos.csv", kProducts);
        QProcess host;
        // Call 2 stays open for three seconds: the loads once a second come while a screen is
        // open, and their rows serve from call 3 on.
        startHost(host, {"--data", products, "--repeat", "3", "--refresh", "1", "--keys",
                         "touch:sbtSair wait:3000 touch:sbtSair touch:sbtSair"});
        QByteArray out;
        const QByteArray first = nextLine(host, out);
        ASSERT_FALSE(first.isEmpty()) << host.readAllStandardError().toStdString();
        // Loads of the unchanged file may come before this (a slow machine takes more than the
        // period over the first call); only a load after it can hold the new content.
        const QDateTime changed = QDateTime::currentDateTimeUtc();
        if (c.next.isEmpty())
            ASSERT_TRUE(QFile::remove(products));
        else
            replaceFile(data, products, c.next);
        QByteArray err;
        EXPECT_EQ(finish(host, out, err), 0) << err.toStdString();
        const QList<QJsonObject> lines = jsonLines(first + out);
        ASSERT_EQ(lines.size(), 3) << (first + out).toStdString() << err.toStdString();
        const auto loaded = [&](int call) {
            return QDateTime::fromString(lines[call]["source"]["loaded"].toString(), Qt::ISODateWithMs);
        };
        ASSERT_TRUE(loaded(1).isValid() && loaded(2).isValid());
        EXPECT_EQ(lines[1]["recordCount"].toInt(), 5) << "never under an open screen";
        EXPECT_LT(loaded(1), changed) << "never under an open screen";
        EXPECT_EQ(lines[2]["recordCount"].toInt(), c.lastRows);
        EXPECT_EQ(loaded(2) > changed, c.reloaded) << err.toStdString();
        EXPECT_EQ(lines[2]["source"]["kind"].toString(), "csv");
        EXPECT_EQ(err.contains("loading the catalogue again failed"), !c.reloaded) << err.toStdString();
        EXPECT_EQ(err.contains("stays in use"), !c.reloaded) << err.toStdString();
    }
}

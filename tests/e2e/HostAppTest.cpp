// The host application's command line, checked from outside: what it refuses before any screen
// opens, and how it says so (exit status 2, a message naming the problem, nothing on stdout).
#include "HostProcess.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void expectRefused(const HostRun& run, const char* fragment, const std::string& what) {
    EXPECT_EQ(run.exitCode, 2) << what << "\n" << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << what << "\n" << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(fragment)) << what << "\nstderr: " << run.err.toStdString();
}

} // namespace

TEST(HostApp, usageErrorsExitTwoWithNothingOnStdout) {
    struct Case {
        QStringList arguments;
        const char* fragment;
    };
    const Case cases[] = {
        {{"--nonsense"}, "unknown option --nonsense"},
        {{"-nonsense"}, "unknown option -nonsense"},
        {{"stray"}, "unexpected argument 'stray'"},
        {{"--data"}, "Missing value after '--data'"},
        {{"--params", "3"}, "--params takes 0, 1 or 2"},
        {{"--fit", "0.1"}, "--fit '0.1' is no fit: give auto, off or a factor from 0.25 to 4"},
        {{"--flag", "S", "--flag", "N"}, "--flag is given twice"},
        {{"--plain=yes"}, "Unexpected value after '--plain'"},
        {{"--plain", "--plain"}, "--plain is given twice"},
        {{"--query", "SELECT 1"}, "--query needs --db URL or --data naming an SQLite database"},
        {{"--db", "postgresql:///shop"}, "needs the rows to load: give --query"},
        {{"--db", "postgresql:///shop", "--data", "a.csv", "--query", "SELECT 1"}, "two sources of rows"},
        {{"--data", "shop.db"}, "give the rows to load with --query"},
        {{"--flag", "\xE2\x98\x83", "--keys", "probe"}, "--flag"}, // no Windows-1252 byte for it
        {{"--query-timeout", "-1"}, "--query-timeout takes a whole number of seconds from 0"},
        {{"--load-memory", "1048575"},
         "--load-memory takes a whole number of bytes from 1048576 to 1099511627776, not '1048575'"},
        {{"--load-memory", "2TB"}, "--load-memory takes a whole number of bytes"},
    };
    for (const auto& c : cases)
        expectRefused(runHost(c.arguments), c.fragment, c.arguments.join(' ').toStdString());
}

TEST(HostApp, helpDescribesEveryOptionAndStep) {
    const HostRun run = runHost({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* word :
         {"--data",          "--db",       "QMR_DB_PASSWORD", "--query",    "--flag",
          "--filter",        "--filtered", "--plain",         "--params",   "--bogus-dataset",
          "--keys",          "--timings",  "--package",       "touch:NAME", "title:N",
          "row:N",           "key:NAME",   "type:TEXT",       "hold:Shift", "release:Shift",
          "shot:FILE",       "wait:MS",    "probe",           "--version",  "-platform",
          "--query-timeout", "--fit",      "--repeat",        "--refresh",  "SIGTERM",
          "--load-memory"})
        EXPECT_TRUE(run.out.contains(word)) << word;
    // It ends with every exit status the host uses.
    const qsizetype statuses = run.out.lastIndexOf("Exit status:");
    ASSERT_GE(statuses, 0);
    for (const char* status : {"\n  0  ", "\n  1  ", "\n  2  ", "\n  3  "})
        EXPECT_TRUE(run.out.indexOf(status, statuses) > statuses) << status;
}

// The manual page's synopsis names every option --help lists, so that neither falls behind the other.
TEST(HostApp, manualPageSynopsisNamesEveryOptionOfTheHelp) {
    QFile page(QMR_MAN_PAGE);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << QMR_MAN_PAGE;
    const QString text = QString::fromUtf8(page.readAll());
    const qsizetype from = text.indexOf(".SH SYNOPSIS"), to = text.indexOf(".SH DESCRIPTION");
    ASSERT_TRUE(from >= 0 && to > from);
    const QString synopsis = text.mid(from, to - from).remove("\\fB").remove("\\fR").replace("\\-", "-");
    const HostRun help = runHost({"--help"});
    const QRegularExpression option(R"(^\s+(--[a-z-]+))", QRegularExpression::MultilineOption);
    int options = 0;
    for (auto match = option.globalMatch(QString::fromUtf8(help.out)); match.hasNext(); ++options) {
        const QString name = match.next().captured(1);
        EXPECT_TRUE(synopsis.contains(QRegularExpression(QRegularExpression::escape(name) + R"((?![a-z-]))")))
            << name.toStdString();
    }
    EXPECT_GE(options, 20);
}

TEST(HostApp, versionIsPrintedAndTheHostStops) {
    const HostRun run = runHost({"--version", "--keys", "probe"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.startsWith("qmr41726-host ")) << run.out.toStdString();
    EXPECT_FALSE(run.jsonValid) << "the screen was called";
}

TEST(HostApp, qtsOwnOptionsArePassedOnToQt) {
    // The command line's -platform wins over the environment's offscreen: an unknown platform
    // stops Qt itself, not the host's option check.
    const HostRun unknownPlatform = runHost({"-platform", "nosuch", "--keys", "probe"});
    EXPECT_NE(unknownPlatform.exitCode, 0);
    EXPECT_NE(unknownPlatform.exitCode, 2) << unknownPlatform.err.toStdString();
    EXPECT_TRUE(unknownPlatform.err.contains("nosuch")) << unknownPlatform.err.toStdString();
    for (const QStringList& qtOptions :
         {QStringList{"-platform", "offscreen"}, QStringList{"-plugin", "none"}}) {
        const HostRun run = runHost(qtOptions + QStringList{"--keys", "touch:sbtSair"});
        EXPECT_EQ(run.exitCode, 0) << qtOptions.join(' ').toStdString() << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.jsonValid) << qtOptions.join(' ').toStdString();
    }
}

TEST(HostApp, malformedScriptIsRefusedBeforeTheScreenOpens) {
    expectRefused(runHost({"--keys", "touch:sbtJ key:Return probe"}), "step 2 \"key:Return\"",
                  "bad key name");
    expectRefused(runHost({"--keys", "wait:soon"}), "step 1", "bad wait");
}

TEST(HostApp, unreadableDataIsADataErrorNamingTheFile) {
    HostData data;
    const QString missing = data.path("missing.csv");
    expectRefused(runHost({"--data", missing, "--keys", "probe"}), missing.toUtf8().constData(),
                  "missing file");

    const QString broken = data.write("broken.csv", "CODIGO:integer,NOME\n1,Ana\nabc,Bia\n");
    expectRefused(runHost({"--data", broken, "--keys", "probe"}), "broken.csv",
                  "integer column holding text");

    const QString notSqlite = data.write("shop.db", "this is no database");
    expectRefused(runHost({"--data", notSqlite, "--query", "SELECT * FROM produtos", "--keys", "probe"}),
                  "shop.db", "not an SQLite file");

    // An empty file is an empty database, where a recursive query can run without end.
    const QString empty = data.write("empty.db", "");
    const QString endless =
        "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT max(x) FROM c";
    expectRefused(runHost({"--data", empty, "--query", endless, "--query-timeout", "1", "--keys", "probe"}),
                  "the query ran longer than its time limit of 1 second", "endless query");

    // A name past any real path is quoted in part, so the message stays short.
    const HostRun longName = runHost({"--data", QString(100000, 'n') + ".csv", "--keys", "probe"});
    expectRefused(longName, "data file nnnn", "100 KB file name");
    EXPECT_LT(longName.err.size(), 1000) << "a short message";
}

// A load past --load-memory is refused naming the bound, the source and the row, while the host's
// peak resident memory stays within 1.25 times the bound plus 200 MB. The peak the kernel keeps
// for this test program's children is that of the largest host it ran, so it bounds each of these.
TEST(HostApp, aLoadPastItsMemoryIsRefusedWithinIt) {
    HostData data;
    const QString empty = data.write("empty.db", "");
    const QString endless = "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) ";
    QByteArray rows = "CODIGO:integer,NOME\n";
    for (int i = 0; i < 100000; ++i)
        rows += QByteArray::number(i) + ",Produto numero " + QByteArray::number(i) + "\n";
    const QString csv = data.write("rows.csv", rows);
    constexpr std::uint64_t kBudget = 100000000;
    const struct {
        QStringList source;
        std::uint64_t budget;
        const char* where;
    } cases[] = {
        {{"--data", empty, "--query", endless + "SELECT x FROM c", "--query-timeout", "0"},
         kBudget,
         "empty.db, row "},
        {{"--data", empty, "--query", endless + "SELECT x, printf('%.200c', 'a') AS t FROM c",
          "--query-timeout", "0"},
         kBudget,
         "empty.db, row "},
        {{"--data", csv}, 1048576, "rows.csv, line "},
    };
    for (const auto& c : cases) {
        const QStringList arguments =
            c.source + QStringList{"--load-memory", QString::number(c.budget), "--keys", "probe"};
        const HostRun run = runHost(arguments);
        const std::string bound =
            "the rows take more than " + std::to_string(c.budget) +
            " bytes, the bound on one load's memory (--load-memory); nothing was loaded";
        expectRefused(run, bound.c_str(), arguments.join(' ').toStdString());
        EXPECT_TRUE(run.err.contains(c.where)) << run.err.toStdString();
    }
#ifndef __SANITIZE_ADDRESS__
    // Under AddressSanitizer the host's shadow memory and its quarantine of freed blocks (256 MB)
    // are resident too, so the bound is held on the plain build only.
    rusage children{};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &children), 0);
    EXPECT_LT(double(children.ru_maxrss) * 1024, 1.25 * double(kBudget) + 200e6)
        << "peak resident memory of the largest host, in KiB: " << children.ru_maxrss;
#endif
}

TEST(HostApp, dataPathThatIsNoRegularFileIsNamedForWhatItIs) {
    HostData data;
    const QString fifo = data.path("pipe.csv");
    ASSERT_EQ(::mkfifo(fifo.toUtf8().constData(), 0600), 0);
    const QString loop = data.path("loop.csv");
    ASSERT_EQ(::symlink(loop.toUtf8().constData(), loop.toUtf8().constData()), 0);
    const struct {
        QString path;
        const char* fragment;
    } cases[] = {
        {data.path(""), " is a directory"},
        {fifo, "pipe.csv is a FIFO (named pipe)"},
        {"/dev/zero", "/dev/zero is a special file of the system"},
        {loop, "loop.csv is a symbolic link loop"},
    };
    for (const auto& c : cases)
        expectRefused(runHost({"--data", c.path, "--keys", "probe"}), c.fragment, c.path.toStdString());
}

// Texts past the 128 KiB a command-line argument may hold come from files.
TEST(HostApp, longFilterAndKeyScriptComeFromFiles) {
    HostData data;
    const QString filter = data.write("filter.txt", "CODIGO IN (0" + QByteArray(", 0").repeated(9000) +
                                                        ", 2)" + QByteArray(140000, ' ') + "\n");
    const QString keys = data.write("keys.txt", QByteArray("probe ").repeated(30000) + "touch:sbtSair\n");
    const HostRun r =
        runHost({"--data", data.products(), "--filter-file", filter, "--filtered", "--keys-file", keys});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.json["recordCount"].toInt(), 1) << r.out.left(400).toStdString();

    expectRefused(runHost({"--data", data.products(), "--keys", "probe", "--keys-file", keys}),
                  "--keys and --keys-file both give the text", "both");
    expectRefused(runHost({"--data", data.products(), "--keys-file", data.path("")}), "is a directory",
                  "directory");
    expectRefused(
        runHost({"--data", data.products(), "--filter-file", data.path("none.txt"), "--keys", "probe"}),
        "none.txt: no such file", "missing");
}

TEST(HostApp, filterTheDataSetRejectsIsADataError) {
    HostData data;
    expectRefused(
        runHost({"--data", data.products(), "--filter", "CODIGO >", "--filtered", "--keys", "probe"}),
        "--filter 'CODIGO >'", "incomplete filter");
}

TEST(HostApp, withoutDisplayTheScreenNeedsAScript) {
    HostData data;
    expectRefused(runHost({"--data", data.products()}), "--keys", "no display, no script");
}

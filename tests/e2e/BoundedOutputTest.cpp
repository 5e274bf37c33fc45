// What the host writes stays within stated sizes whatever it is given: messages quote hostile
// input cut and escaped, files are read no further than their bound, a script of endless probes
// gives a report of bounded size, and no screenshot overwrites the report.
#include "HostProcess.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

namespace {

/// A message quotes at most 1000 bytes of a foreign text and 200 of a path, each control byte of
/// them written as 4; far below the 100 KB given.
constexpr qsizetype kMessageBytes = 6000;

/// A control byte a terminal would act on (line breaks end the messages themselves).
bool holdsRawControl(const QByteArray& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && byte != '\n') || byte == 0x7F;
    });
}

/// Peak resident memory of the largest child waited for so far, in bytes.
long childPeakBytes() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss * 1024L;
}

} // namespace

TEST(BoundedOutput, hostileInputIsQuotedCutAndEscaped) {
    HostData data;
    // 100 KB of escape sequences that would clear the screen, retitle the terminal and ring it.
    const QString hostile = QString("\x1b[2J\x1b]0;owned\x07").repeated(7700);
    const QString products = data.products();
    const struct {
        const char* what;
        QStringList arguments;
        int exitCode;
    } cases[] = {
        {"package path", {"--package", "/nowhere/" + hostile, "--data", products, "--keys", "probe"}, 1},
        {"data path", {"--data", "/nowhere/" + hostile + ".csv", "--keys", "probe"}, 2},
        {"keys file", {"--data", products, "--keys-file", "/nowhere/" + hostile}, 2},
        {"filter file", {"--data", products, "--filter-file", "/nowhere/" + hostile, "--keys", "probe"}, 2},
        {"cache path", {"--data", "/nowhere.csv", "--cache", "/nowhere/" + hostile, "--keys", "probe"}, 2},
        {"URL port",
         {"--db", "postgresql://h:" + hostile + "/db", "--query", "SELECT 1", "--keys", "probe"},
         2},
        {"URL parameter",
         {"--db", "postgresql:///db?" + hostile, "--query", "SELECT 1", "--keys", "probe"},
         2},
        {"URL scheme", {"--db", hostile + "://h/db", "--query", "SELECT 1", "--keys", "probe"}, 2},
        {"option value", {"--fit", hostile}, 2},
        {"script step", {"--data", products, "--keys", "key:" + hostile}, 2},
        {"language", {"--data", products, "--lang", hostile, "--keys", "touch:sbtSair"}, 0},
        {"shot path", {"--data", products, "--keys", "shot:/nowhere/" + hostile + " touch:sbtSair"}, 0},
    };
    for (const auto& c : cases) {
        const HostRun run = runHost(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << "\n" << run.err.left(400).toStdString();
        EXPECT_LT(run.err.size(), kMessageBytes) << c.what;
        EXPECT_FALSE(holdsRawControl(run.err)) << c.what << "\n" << run.err.left(400).toStdString();
        EXPECT_TRUE(run.err.contains("\\x1B") || run.exitCode == 0) << c.what << " quotes the input\n"
                                                                    << run.err.left(400).toStdString();
        // The report escapes what it echoes too, and holds no more of it than a message would.
        EXPECT_LT(run.out.size(), 16 * kMessageBytes) << c.what;
        EXPECT_FALSE(holdsRawControl(run.out)) << c.what;
    }
}

// A writer appends to the key script as fast as it can while the host reads it: whatever the
// size was when it was checked, the read stops one byte past the bound.
TEST(BoundedOutput, fileGrowingWhileReadIsReadNoFurtherThanItsBound) {
    HostData data;
    const QString script = data.write("growing.keys", "x");
    QProcess writer;
    writer.start("dd", {"if=/dev/zero", "of=" + script, "bs=1M", "count=512", "oflag=append", "conv=notrunc",
                        "status=none"});
    ASSERT_TRUE(writer.waitForStarted());
    const HostRun run = runHost({"--data", data.products(), "--keys-file", script});
    writer.kill();
    writer.waitForFinished();
    QFile::resize(script, 0);
    EXPECT_EQ(run.exitCode, 2) << run.err.left(400).toStdString();
    // Refused by its size, or, when the read caught up with the writer first, by its content.
    EXPECT_LT(run.err.size(), kMessageBytes) << run.err.left(400).toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_LT(childPeakBytes(), 400L << 20) << "the host read past the bound";
}

TEST(BoundedOutput, reportKeepsAtMostItsBoundOfProbesAndTimingsAndCountsTheRest) {
    HostData data;
    const int extra = 25;
    const QString script =
        data.write("probes.keys", QByteArray("probe ").repeated(10000 + extra) + "row:99 " + "touch:sbtSair");
    const HostRun run = runHost({"--data", data.products(), "--keys-file", script, "--timings"});
    ASSERT_EQ(run.exitCode, 0) << run.err.left(400).toStdString();
    EXPECT_EQ(run.json["probes"].toArray().size(), 10000);
    EXPECT_EQ(run.json["probesDropped"].toInt(), extra);
    EXPECT_EQ(run.json["timings"].toArray().size(), 10000);
    EXPECT_EQ(run.json["timingsDropped"].toInt(), extra + 2) << "the row: and touch: steps after them";
    EXPECT_EQ(run.json["errors"].toArray().size(), 1) << "a step that cannot act is still reported";
    EXPECT_FALSE(run.json["result"].toBool(true)) << "the steps after the bound still ran";
}

// With stdout redirected to a file, a screenshot named by any path of that file is refused: the
// report stays whole.
TEST(BoundedOutput, shotOntoTheReportItselfIsRefusedByName) {
    HostData data;
    const QString report = data.path("report.json");
    const QString link = data.path("link.png");
    ASSERT_EQ(QFile(report).open(QIODevice::WriteOnly), true);
    ASSERT_TRUE(QFile::link(report, link));
    const QStringList paths = {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1", report, link};
    QProcess host;
    host.setStandardOutputFile(report);
    startHost(host, {"--data", data.products(), "--keys", "shot:" + paths.join(" shot:") + " touch:sbtSair"});
    ASSERT_TRUE(host.waitForFinished(60000));
    EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
    QFile written(report);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QJsonDocument document = QJsonDocument::fromJson(written.readAll());
    ASSERT_TRUE(document.isObject()) << "the report was overwritten";
    const QJsonArray errors = document["errors"].toArray();
    ASSERT_EQ(errors.size(), paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString error = errors[i].toString();
        EXPECT_TRUE(error.contains(paths[i] + ": it is")) << error.toStdString();
        EXPECT_TRUE(error.contains("special file of the system") ||
                    error.contains("the report is written to"))
            << error.toStdString();
    }
}

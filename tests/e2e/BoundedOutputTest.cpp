// What the host writes stays within stated sizes whatever it is given.
#include "HostProcess.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/resource.h>

namespace {

/// 1000 bytes of a foreign text and 200 of a path at most, a control byte written as 4.
constexpr qsizetype kMessageBytes = 6000;

bool holdsRawControl(const QByteArray& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return uchar(c) < 0x20 ? c != '\n' : c == 0x7F; });
}

} // namespace

TEST(BoundedOutput, hostileInputIsQuotedCutAndEscaped) {
    HostData data;
    const QString bad = QString("\x1b[2J\x1b]0;owned\x07").repeated(7700), csv = data.products();
    const QStringList probe = {"--data", csv, "--keys", "probe"},
                      url = {"--query", "SELECT 1", "--keys", "probe"};
    const struct {
        QStringList arguments;
        int exitCode;
    } cases[] = {
        {QStringList{"--package", "/nowhere/" + bad} + probe, 1},
        {{"--data", "/nowhere/" + bad + ".csv", "--keys", "probe"}, 2},
        {{"--data", csv, "--keys-file", "/nowhere/" + bad}, 2},
        {{"--data", "/nowhere.csv", "--cache", "/nowhere/" + bad, "--keys", "probe"}, 2},
        {QStringList{"--db", "postgresql:///db?" + bad} + url, 2},
        {QStringList{"--db", bad + "://h/db"} + url, 2},
        {{"--fit", bad}, 2},
        {{"--data", csv, "--keys", "key:" + bad}, 2},
        {{"--data", csv, "--lang", bad, "--keys", "touch:sbtSair"}, 0},
        {{"--data", csv, "--keys", "shot:/nowhere/" + bad + " touch:sbtSair"}, 0},
    };
    for (const auto& c : cases) {
        const HostRun run = runHost(c.arguments);
        const std::string what = c.arguments.first().toStdString() + "\n" + run.err.left(300).toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << what;
        EXPECT_LT(run.err.size(), kMessageBytes) << what;
        EXPECT_FALSE(holdsRawControl(run.err + run.out)) << what;
        EXPECT_TRUE(run.err.contains("\\x1B") || run.out.contains("\\\\x1B")) << what;
        EXPECT_LT(run.out.size(), 4 * kMessageBytes) << what;
    }
}

// However the file grows while it is read, the read stops one byte past the bound.
TEST(BoundedOutput, fileGrowingWhileReadIsReadNoFurtherThanItsBound) {
    HostData data;
    const QString script = data.write("growing.keys", "x");
    QProcess writer;
    writer.start("dd",
                 {"if=/dev/zero", "of=" + script, "bs=1M", "count=512", "oflag=append", "conv=notrunc"});
    const HostRun run = runHost({"--data", data.products(), "--keys-file", script});
    writer.kill();
    writer.waitForFinished();
    EXPECT_EQ(run.exitCode, 2) << run.err.left(300).toStdString();
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    EXPECT_LT(children.ru_maxrss, 400L << 10) << "KiB at the most: the host read past the bound";
}

// Past 10,000 probes and timings the steps still run but are only counted; and with stdout a file,
// no shot: path of that file overwrites the report.
TEST(BoundedOutput, reportKeepsItsBoundsAndNoShotOverwritesIt) {
    HostData data;
    const QString report = data.path("report.json"), link = data.path("link.png");
    ASSERT_TRUE(QFile(report).open(QIODevice::WriteOnly) && QFile::link(report, link));
    const QStringList shots = {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1", report, link};
    const QString script = data.write("keys", QByteArray("probe ").repeated(10025) +
                                                  "shot:" + shots.join(" shot:").toUtf8() + " touch:sbtSair");
    QProcess host;
    host.setStandardOutputFile(report);
    startHost(host, {"--data", data.products(), "--keys-file", script, "--timings"});
    ASSERT_TRUE(host.waitForFinished(60000) && host.exitCode() == 0)
        << host.readAllStandardError().toStdString();
    QFile written(report);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QJsonObject json = QJsonDocument::fromJson(written.readAll()).object();
    EXPECT_EQ(json["probes"].toArray().size(), 10000);
    EXPECT_EQ(json["probesDropped"].toInt(), 25);
    EXPECT_EQ(json["timings"].toArray().size(), 10000);
    EXPECT_EQ(json["timingsDropped"].toInt(), 25 + 5 + 1);
    const QJsonArray errors = json["errors"].toArray();
    ASSERT_EQ(errors.size(), shots.size()) << "the report was overwritten, or a shot written";
    for (qsizetype i = 0; i < shots.size(); ++i)
        EXPECT_TRUE(errors[i].toString().contains(shots[i] + ": it is"))
            << errors[i].toString().toStdString();
}

// The catalogue's local copy through the host: every load that succeeds leaves its rows in the
// copy, a load that fails serves the copy and says so in its report, and a copy that cannot serve
// stops the run naming the load's error and the copy's.

#include "HostProcess.h"

#include <qmr41726/data/cache/CatalogueCopy.h>
#include <qmr41726/data/load/Loaders.h>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kKeys = "touch:sbtJ touch:sbtO probe touch:sbtEnter";

/// A copy of the products written at `written`, as a load that succeeded then would have left it.
void writeCopy(const HostData& data, const QString& copy, std::chrono::system_clock::time_point written) {
    const auto rows = qmr::loadCsvFile(data.products().toStdString());
    ASSERT_FALSE(qmr::writeCatalogueCopy(*rows, copy.toStdString(), written));
}

} // namespace

TEST(LocalCopy, aLoadThatSucceedsIsKeptAndServesWhenTheNextLoadFails) {
    HostData data;
    const QString copy = data.path("catalogue.copy");
    const HostRun loaded = runHost({"--data", data.products(), "--cache", copy, "--keys", kKeys});
    ASSERT_EQ(loaded.exitCode, 0) << loaded.err.toStdString();
    EXPECT_EQ(loaded.json["source"].toObject()["kind"].toString(), "csv");
    ASSERT_TRUE(QFile::exists(copy));

    ASSERT_TRUE(QFile::remove(data.products()));
    const HostRun served = runHost({"--data", data.products(), "--cache", copy, "--keys", kKeys});
    ASSERT_EQ(served.exitCode, 0) << served.err.toStdString();
    const QJsonObject source = served.json["source"].toObject();
    EXPECT_EQ(source["kind"].toString(), "cache");
    EXPECT_TRUE(source["reason"].toString().endsWith("produtos.csv: no such file"))
        << source["reason"].toString().toStdString();
    EXPECT_FALSE(source["written"].toString().isEmpty());
    EXPECT_TRUE(served.err.contains("serving the local copy written at")) << served.err.toStdString();
    for (const char* key : {"result", "filter", "index", "recordCount", "row", "probes"})
        EXPECT_EQ(served.json[key], loaded.json[key]) << key;
}

TEST(LocalCopy, aCopyThatCannotServeStopsTheRunNamingBothErrors) {
    const struct {
        const char* name;
        std::function<void(const HostData&, const QString& copy)> prepare;
        QStringList options;
        const char* copyError;
    } cases[] = {
        {"missing", [](const HostData&, const QString&) {}, {}, "no such file"},
        {"a directory",
         [](const HostData&, const QString& copy) { QDir().mkpath(copy); },
         {},
         "is a directory"},
        {"damaged",
         [](const HostData& data, const QString& copy) {
             writeCopy(data, copy, std::chrono::system_clock::now());
             QFile file(copy);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             file.seek(file.size() / 2);
             const char byte = file.peek(1).at(0);
             file.write(QByteArray(1, char(byte ^ 0x5A)));
         },
         {},
         "checksum"},
        {"older than allowed",
         [](const HostData& data, const QString& copy) {
             writeCopy(data, copy, std::chrono::system_clock::now() - std::chrono::hours(3));
         },
         {"--cache-max-age", "2"},
         "old"},
        {"larger than a load may take",
         [](const HostData& data, const QString& copy) {
             writeCopy(data, copy, std::chrono::system_clock::now());
             ASSERT_TRUE(QFile::resize(copy, 2 << 20));
         },
         {"--load-memory", "1048576"},
         "holds 2097152 bytes, more than 1048576, the bound on one load's memory (--load-memory)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HostData data;
        const QString copy = data.path("catalogue.copy");
        const QString missing = data.path("gone.csv");
        c.prepare(data, copy);
        const HostRun run =
            runHost(QStringList{"--data", missing, "--cache", copy, "--keys", "key:Esc"} + c.options);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains("gone.csv: no such file; the local copy could not serve instead"))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.copyError)) << run.err.toStdString();
    }
}

// Whole calls of the search screen driven by key scripts through the host application: what the
// host reads afterwards (result, filter, current row) and what the screen showed on the way.
#include "HostProcess.h"

#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class ScreenScript : public ::testing::Test {
protected:
    HostRun run(const QString& keys, QStringList extra = {}) {
        extra << "--data" << data.products() << "--keys" << keys;
        HostRun result = runHost(extra);
        EXPECT_TRUE(result.exitCode == 2 || result.jsonValid)
            << result.out.toStdString() << result.err.toStdString();
        return result;
    }
    static QJsonObject probe(const HostRun& run, int index) {
        return run.json["probes"].toArray().at(index).toObject();
    }
    HostData data;
};

} // namespace

TEST_F(ScreenScript, scriptThatLeavesTheScreenOpenExitsThreeWithResultFalse) {
    for (const QString keys : {"", "probe"}) {
        const HostRun r = run(keys);
        EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
        EXPECT_FALSE(r.json["result"].toBool(true));
        EXPECT_TRUE(r.json["screen"].isObject()) << "the screen was shown and closed by the host";
    }
}

TEST_F(ScreenScript, touchedLettersBuildTheSearchTextAndNarrowTheRows) {
    const HostRun r = run("probe touch:sbtJ touch:sbtO probe");
    ASSERT_EQ(r.json["probes"].toArray().size(), 2);
    const QJsonObject opened = probe(r, 0);
    EXPECT_EQ(opened["searchText"].toString(), "");
    EXPECT_EQ(opened["searchColumn"].toString(), "DESCRICAO");
    EXPECT_EQ(opened["sbtA"].toString(), "A") << "the screen opens with Shift on";
    EXPECT_EQ(opened["sbtCCdil"].toString(), QString::fromUtf8("\xC3\x87"));
    EXPECT_EQ(opened["rows"].toInt(), 5);
    const QJsonObject typed = probe(r, 1);
    EXPECT_EQ(typed["searchText"].toString(), "Jo");
    EXPECT_EQ(typed["sbtA"].toString(), "a") << "the first letter released Shift";
    EXPECT_EQ(typed["sbtCCdil"].toString(), QString::fromUtf8("\xC3\xA7"));
    EXPECT_EQ(typed["rows"].toInt(), 3) << "Joia, JORNAL and jogo begin with Jo in any case";
    EXPECT_TRUE(typed["enterEnabled"].toBool());
}

TEST_F(ScreenScript, enterReturnsTrueWithTheChosenRowInPlace) {
    const HostRun r = run("touch:sbtJ touch:sbtO touch:sbtEnter");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.json["result"].toBool());
    EXPECT_EQ(r.json["filter"].toString(), "UPPER(DESCRICAO) LIKE 'JO%'");
    EXPECT_TRUE(r.json["filtered"].toBool());
    EXPECT_EQ(r.json["index"].toString(), "DESCRICAO");
    EXPECT_EQ(r.json["recordCount"].toInt(), 3);
    EXPECT_EQ(r.json["recNo"].toInt(), 1);
    const QJsonObject row = r.json["row"].toObject();
    EXPECT_TRUE(row["DESCRICAO"].toString().toUpper().startsWith("JO"))
        << row["DESCRICAO"].toString().toStdString();
    EXPECT_TRUE(row["CODIGO"].isDouble());
    EXPECT_EQ(r.json["screen"].toObject()["searchText"].toString(), "Jo");
    EXPECT_TRUE(r.json["messages"].toArray().isEmpty());
    EXPECT_TRUE(r.json["errors"].toArray().isEmpty());
}

TEST_F(ScreenScript, exitReturnsFalseAndRestoresTheOriginalFilter) {
    const HostRun r = run("touch:sbtJ touch:sbtSair", {"--filter", "CODIGO > 1", "--filtered"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(r.json["result"].toBool(true));
    EXPECT_EQ(r.json["filter"].toString(), "CODIGO > 1");
    EXPECT_TRUE(r.json["filtered"].toBool());
    EXPECT_EQ(r.json["recordCount"].toInt(), 4);
}

TEST_F(ScreenScript, physicalKeysReachTheSearchThroughTheFocusedControl) {
    const HostRun r = run("type:jo probe key:Backspace probe key:Esc");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(r.json["probes"].toArray().size(), 2);
    EXPECT_EQ(probe(r, 0)["searchText"].toString(), "Jo");
    EXPECT_EQ(probe(r, 1)["searchText"].toString(), "J") << "one Backspace removes exactly one character";
    EXPECT_FALSE(r.json["result"].toBool(true));
}

TEST_F(ScreenScript, modifiedKeysReachTheScreenWithTheirModifiers) {
    struct Case {
        const char* keys;
        int exitCode;
        const char* searchText;
    };
    const Case cases[] = {
        {"type:jo key:Ctrl+Delete probe", 3, "Jo"}, // Ctrl+Delete is swallowed
        {"type:jo key:Delete probe", 3, ""},
        {"type:j key:Alt+F4 probe", 3, "J"}, // Alt+F4 leaves the screen open
        {"key:Shift type:ab probe", 3, "Ab"},
        // Non-ASCII typed text arrives as its own character: a physical ç stays as typed under Caps Lock.
        {"touch:sbtCapsLock type:\xC3\xA7 touch:sbtCCdil probe", 3, "\xC3\xA7\xC3\x87"},
    };
    for (const auto& c : cases) {
        const HostRun r = run(c.keys);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.keys << r.err.toStdString();
        EXPECT_EQ(probe(r, 0)["searchText"].toString(), c.searchText) << c.keys;
    }
}

TEST_F(ScreenScript, touchingATitleAndARowChoosesColumnAndRow) {
    const HostRun r = run("title:0 probe title:1 row:1 touch:sbtEnter");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(probe(r, 0)["searchColumn"].toString(), "CODIGO");
    EXPECT_TRUE(r.json["result"].toBool());
    EXPECT_EQ(r.json["index"].toString(), "DESCRICAO");
    EXPECT_EQ(r.json["row"].toObject()["DESCRICAO"].toString(), "Feijao preto")
        << "second row in DESCRICAO order";
}

TEST_F(ScreenScript, setUpFailuresGiveFalseAndOneMessage) {
    const QStringList cases[] = {{"--params", "1"}, {"--params", "0"}, {"--bogus-dataset"}};
    for (const auto& extra : cases) {
        const HostRun r = run("probe", extra);
        const std::string what = extra.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, 0) << what << r.err.toStdString();
        EXPECT_FALSE(r.json["result"].toBool(true)) << what;
        EXPECT_EQ(r.json["messages"].toArray().size(), 1) << what;
        EXPECT_TRUE(r.json["screen"].isNull()) << what << ": the screen never opened";
        EXPECT_TRUE(r.json["probes"].toArray().isEmpty()) << what;
    }
}

TEST_F(ScreenScript, plainDataSetHasNoIndex) {
    const HostRun r = run("touch:sbtSair", {"--plain"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.json["index"].isNull());
    EXPECT_FALSE(r.json["result"].toBool(true));
}

TEST_F(ScreenScript, stepsAfterTheScreenClosedAreSkippedAndSaidSo) {
    const HostRun r = run("touch:sbtSair probe probe");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.json["probes"].toArray().isEmpty());
    EXPECT_TRUE(r.err.contains("2 step(s) not run")) << r.err.toStdString();
}

TEST_F(ScreenScript, unknownComponentStopsTheRunBeforeAnyStep) {
    const HostRun r = run("touch:sbtJ touch:sbtNada touch:sbtEnter");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains("step 2 \"touch:sbtNada\"")) << r.err.toStdString();
}

TEST_F(ScreenScript, aHugeOrRawStepIsQuotedShortAndEscaped) {
    const HostRun huge = run("touch:" + QString(100000, 'A'));
    EXPECT_EQ(huge.exitCode, 2);
    EXPECT_LT(huge.err.size(), 1000) << "a 100 KB step in full";
    const HostRun raw = run("key:\x1B[2J");
    EXPECT_EQ(raw.exitCode, 2);
    EXPECT_TRUE(raw.err.contains("\\x1B[2J")) << raw.err.toStdString();
    EXPECT_FALSE(raw.err.contains('\x1B')) << "an escape byte on the terminal";
}

TEST_F(ScreenScript, timingsHaveOneEntryPerStep) {
    const HostRun r = run("touch:sbtJ wait:30 probe", {"--timings"});
    const QJsonArray timings = r.json["timings"].toArray();
    ASSERT_EQ(timings.size(), 3);
    EXPECT_EQ(timings[1].toObject()["step"].toString(), "wait:30");
    EXPECT_GE(timings[1].toObject()["ms"].toDouble(), 30.0);
    EXPECT_GE(timings[0].toObject()["ms"].toDouble(), 0.0);
    EXPECT_FALSE(run("probe").json.contains("timings"));
}

TEST_F(ScreenScript, shotSavesTheWholeScreenAsPng) {
    const QString file = data.path("screen.png");
    const HostRun r = run("shot:" + file + " touch:sbtSair");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile png(file);
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    const QByteArray header = png.read(24);
    ASSERT_EQ(header.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    const auto bigEndian = [&](int at) {
        return (uchar(header[at]) << 24) | (uchar(header[at + 1]) << 16) | (uchar(header[at + 2]) << 8) |
               uchar(header[at + 3]);
    };
    EXPECT_EQ(bigEndian(16), 640);
    EXPECT_EQ(bigEndian(20), 552);
}

TEST_F(ScreenScript, bundledCatalogueIsTheDefaultData) {
    const HostRun r = runHost({"--keys", "touch:sbtA touch:sbtR touch:sbtEnter"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.json["result"].toBool());
    EXPECT_GT(r.json["recordCount"].toInt(), 0);
    const QString chosen = r.json["row"].toObject()["DESCRICAO"].toString();
    EXPECT_TRUE(chosen.toUpper().startsWith("AR")) << chosen.toStdString();
}

// The catalogue's codes are text of a declared length, so its code column takes typed digits.
TEST_F(ScreenScript, bundledCatalogueIsSearchedByCodeAfterATouchOnItsTitle) {
    const HostRun r =
        runHost({"--keys", "title:0 touch:sbt1 touch:sbt0 touch:sbt0 touch:sbt8 touch:sbtEnter"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.json["result"].toBool());
    EXPECT_EQ(r.json["filter"].toString(), "UPPER(CODIGO) LIKE '1008%'");
    EXPECT_EQ(r.json["row"].toObject()["CODIGO"].toString(), "1008");
}

TEST_F(ScreenScript, sqliteQueryRowsAreSearchedAlike) {
    const QString sqlite = QStandardPaths::findExecutable("sqlite3");
    if (sqlite.isEmpty())
        GTEST_SKIP() << "the sqlite3 command is not installed";
    const QString database = data.path("shop.sqlite");
    QProcess::execute(
        sqlite, {database, "CREATE TABLE p (codigo INTEGER, nome VARCHAR(20), marca VARCHAR(10));"
                           "INSERT INTO p VALUES (1, 'Joia', 'A'), (2, 'Arroz', 'B'), (3, 'Jogo', 'C');"});
    const HostRun r =
        runHost({"--data", database, "--query", "SELECT * FROM p", "--keys", "touch:sbtJ touch:sbtEnter"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.json["filter"].toString(), "UPPER(nome) LIKE 'J%'");
    EXPECT_EQ(r.json["recordCount"].toInt(), 2);
    EXPECT_TRUE(r.json["row"].toObject()["nome"].toString().startsWith("Jo"));
}

TEST_F(ScreenScript, stepThatCannotActIsReportedAndTheScriptGoesOn) {
    const HostRun r = run("row:40 shot:" + data.path("no/such/folder/a.png") + " touch:sbtSair");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray errors = r.json["errors"].toArray();
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].toString().contains("step 1 \"row:40\"")) << errors[0].toString().toStdString();
    EXPECT_TRUE(errors[1].toString().contains("a.png")) << errors[1].toString().toStdString();
    EXPECT_FALSE(r.json["result"].toBool(true)) << "the Exit touch after them still ran";
}

// A FIFO would block the host until something read it; /dev/stdout would mix the picture into
// the report. Both are refused as steps that cannot act, and the report stays whole.
TEST_F(ScreenScript, shotToWhatIsNotARegularFileIsRefused) {
    const QString fifo = data.path("pipe.png");
    ASSERT_EQ(::mkfifo(fifo.toUtf8().constData(), 0600), 0);
    const HostRun r = run("shot:" + fifo + " shot:/dev/stdout shot:" + data.path("") + " touch:sbtSair");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_TRUE(r.jsonValid) << r.out.toStdString();
    const QJsonArray errors = r.json["errors"].toArray();
    ASSERT_EQ(errors.size(), 3);
    EXPECT_TRUE(errors[0].toString().contains("pipe.png: it is a FIFO (named pipe)"))
        << errors[0].toString().toStdString();
    EXPECT_TRUE(errors[1].toString().contains("/dev/stdout: it is a special file of the system"))
        << errors[1].toString().toStdString();
    EXPECT_TRUE(errors[2].toString().contains("it is a directory")) << errors[2].toString().toStdString();
}

TEST_F(ScreenScript, flagReachesTheScreenAsElementOne) {
    struct Case {
        const char* flag;
        const char* filterAfterExit;
    };
    const Case cases[] = {{"S", ""}, {"s", "CODIGO > 1"}, {"N", "CODIGO > 1"}};
    for (const auto& c : cases) {
        const HostRun r = run("touch:sbtSair", {"--filter", "CODIGO > 1", "--flag", c.flag});
        EXPECT_EQ(r.json["filter"].toString(), c.filterAfterExit) << "flag " << c.flag;
    }
}

TEST_F(ScreenScript, languageComesFromLangOrTheLocaleAndNeitherNamingACatalogueKeepsTheLayout) {
    struct Case {
        QStringList arguments;
        QStringList locale;
        const char* enter;
    };
    const Case cases[] = {
        {{"--lang", "pt_BR"}, {}, "Confirma"},  {{"--lang", "es"}, {"LANG=pt_BR.UTF-8"}, "Intro"},
        {{}, {"LANG=pt_BR.UTF-8"}, "Confirma"}, {{}, {"LANG=pt_BR.UTF-8", "LC_ALL=es_ES.UTF-8"}, "Intro"},
        {{}, {"LANG=C.UTF-8"}, "Enter"},        {{}, {"LANG=de_DE.UTF-8"}, "Enter"},
        {{"--lang", "fr"}, {}, "Enter"},
    };
    for (const Case& c : cases) {
        const QString what = c.arguments.join(' ') + " " + c.locale.join(' ');
        const HostRun r = runHost(QStringList(c.arguments) << "--data" << data.products() << "--keys"
                                                           << "touch:sbtJ probe",
                                  c.locale);
        ASSERT_TRUE(r.jsonValid) << what.toStdString() << r.err.toStdString();
        EXPECT_EQ(probe(r, 0)["sbtEnter"].toString(), c.enter) << what.toStdString();
        EXPECT_EQ(probe(r, 0)["searchText"].toString(), "J") << "typing is the same in every language";
    }
}

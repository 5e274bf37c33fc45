// A database password reaches no output: every refusal and fault the host can meet with one at
// hand is driven, and it shows in no stdout, stderr or report; read from a file or a systemd
// credential, it is in the host's environment neither.
#include "HostProcess.h"
#include "SqlTestSupport.h"

#include <qmr41726/rtl/Exception.h>
#include <qmr41726/sql/SqlLoader.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <csignal>

namespace {

constexpr char kSecret[] = "Zq7-clerk-SECRET-91";

// The test's environment without the password the other tests put in it, with `variable` set.
QProcessEnvironment environment(const QString& variable = {}, const QString& value = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QMR_DB_PASSWORD");
    if (!variable.isEmpty())
        environment.insert(variable, value);
    return environment;
}

class PasswordTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        execute(QString("CREATE ROLE clerk LOGIN PASSWORD '%1'; CREATE TABLE shelf (CODIGO integer);"
                        "INSERT INTO shelf VALUES (1); GRANT SELECT ON shelf TO clerk")
                    .arg(kSecret));
    }
};

} // namespace

TEST_F(PasswordTest, noRefusalOrFaultQuotesThePassword) {
    HostData data;
    const QString secret = kSecret, at = "?host=" + server().socketFolder();
    const QString url = "postgresql://clerk@/shop" + at,
                  none = "postgresql://clerk@/shop?host=" + data.path("none");
    const QString query = "SELECT CODIGO FROM shelf", copy = data.path("copy");
    const struct {
        QStringList arguments;
        int exitCode;
    } runs[] = {
        // The password in the URL, in every form: refused before anything is tried.
        {{"--db", "postgresql://clerk:" + secret + "@/shop" + at}, 2},
        {{"--db", "postgresql://clerk:" + secret + "/x?y#z%zz@db/shop", "--query", query}, 2},
        {{"--db", url + "&password=" + secret, "--query", query}, 2},
        {{"--db", "mysql://clerk:" + secret + "@localhost/shop", "--query", query}, 2},
        {{"--db", "odbc:DSN=shop;PWD=" + secret, "--query", query}, 2},
        {{"--db", "host=db password=" + secret, "--query", query}, 2},
        // Every fault met with the password at hand; the local copy's report says why it serves.
        {{"--db", url, "--query", query, "--cache", copy}, 0},
        {{"--db", none, "--query", query, "--cache", copy}, 0},
        {{"--db", none, "--query", query}, 2},
        {{"--db", "postgresql://intruder@/shop" + at, "--query", query}, 2},
        {{"--db", "postgresql://clerk@/nowhere" + at, "--query", query}, 2},
        {{"--db", url, "--query", "SELECT nope FROM shelf"}, 2},
        {{"--db", url, "--query", query + "; DROP TABLE shelf"}, 2},
        {{"--db", url, "--query", "SELECT pg_sleep(5) AS s", "--query-timeout", "1"}, 2},
    };
    const QString file = data.write("password", secret.toUtf8() + "\n");
    for (const QProcessEnvironment& with :
         {environment("QMR_DB_PASSWORD_FILE", file), environment("QMR_DB_PASSWORD", secret)}) {
        for (const auto& run : runs) {
            const HostRun got = runHostWith(run.arguments + QStringList{"--keys", "probe"}, with);
            const std::string what = run.arguments.join(' ').toStdString() + "\n" + got.err.toStdString();
            EXPECT_EQ(got.exitCode, run.exitCode) << what;
            EXPECT_FALSE((got.out + got.err).contains("SECRET")) << what << got.out.toStdString();
        }
    }
}

TEST_F(PasswordTest, fromTheFileOrTheCredentialThePasswordIsInNoEnvironment) {
    HostData data;
    QDir().mkpath(data.path("credentials"));
    data.write("credentials/db-password", kSecret);
    const struct {
        QStringList arguments;
        QProcessEnvironment environment;
    } cases[] = {
        {{"--db-password-file", data.write("password", kSecret)}, environment()},
        {{}, environment("CREDENTIALS_DIRECTORY", data.path("credentials"))},
    };
    for (const auto& c : cases) {
        QProcess host;
        startHost(host,
                  c.arguments + QStringList{"--db",
                                            "postgresql://clerk@/shop?host=" + server().socketFolder(),
                                            "--query", "SELECT CODIGO FROM shelf", "--repeat", "0", "--keys",
                                            "touch:sbtSair wait:60000"},
                  c.environment);
        // The first call's report: the rows were loaded with the password.
        while (!host.canReadLine() && host.waitForReadyRead(30000)) {
        }
        QFile variables("/proc/" + QString::number(host.processId()) + "/environ");
        const QByteArray environ = variables.open(QIODevice::ReadOnly) ? variables.readAll() : QByteArray();
        ::kill(pid_t(host.processId()), SIGTERM);
        host.waitForFinished(30000);
        EXPECT_TRUE(host.readAllStandardOutput().contains("\"result\""))
            << host.readAllStandardError().toStdString();
        ASSERT_FALSE(environ.isEmpty()) << "cannot read " << variables.fileName().toStdString();
        EXPECT_FALSE(environ.contains(kSecret));
    }
}

// A host hands its password file to the loader as an argument: it comes before every other place
// (the test program's environment holds another password), and a file that cannot be read is named.
TEST_F(PasswordTest, aPasswordFileGivenToTheLoaderComesFirst) {
    HostData data;
    const std::string url = "postgresql://clerk@/shop?host=" + server().socketFolder().toStdString();
    const struct {
        QString file;
        const char* password;
        const char* refusal;
    } cases[] = {
        {data.write("password", QByteArray(kSecret) + "\r\n"), kSecret, nullptr},
        {data.write("empty", ""), "", nullptr},
        {data.path("missing"), nullptr, "the password file "},
        {data.path(""), nullptr, "is not a regular file"},
    };
    for (const auto& c : cases) {
        try {
            const qmr::SqlConnection connection = qmr::parseDatabaseUrl(url, c.file.toStdString());
            EXPECT_EQ(c.refusal, nullptr) << c.file.toStdString();
            if (*c.password)
                EXPECT_EQ(connection.password, c.password);
            else
                EXPECT_EQ(connection.password, qgetenv("QMR_DB_PASSWORD").toStdString()) << "the next place";
        } catch (const qmr::EDatabaseError& error) {
            ASSERT_NE(c.refusal, nullptr) << error.Message();
            EXPECT_NE(error.Message().find(c.refusal), std::string::npos) << error.Message();
            EXPECT_NE(error.Message().find(c.file.toStdString()), std::string::npos) << error.Message();
        }
    }
}

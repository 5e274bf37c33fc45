// A database password reaches no output: every refusal and fault the host can meet with a
// password at hand is driven, and the password shows in no stdout, stderr or report; read from a
// file or a systemd credential, it is in the host's environment neither.
#include "HostProcess.h"
#include "SqlTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <csignal>

namespace {

constexpr char kSecret[] = "Zq7-clerk-SECRET-91";

QString socketFolder() {
    return server().socketFolder();
}

QString clerkUrl(const QString& database = testDatabase()) {
    return "postgresql://clerk@/" + database + "?host=" + socketFolder();
}

// The test's environment without the password the other tests put in it.
QProcessEnvironment environmentWithout() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"QMR_DB_PASSWORD", "QMR_DB_PASSWORD_FILE", "CREDENTIALS_DIRECTORY"})
        environment.remove(variable);
    return environment;
}

QProcessEnvironment environmentWith(const char* variable, const QString& value) {
    QProcessEnvironment environment = environmentWithout();
    environment.insert(variable, value);
    return environment;
}

// Fails the test if the password shows anywhere the run left words.
void expectNoPassword(const HostRun& run, const QString& what) {
    for (const QByteArray& output : {run.out, run.err}) {
        EXPECT_FALSE(output.contains(kSecret)) << what.toStdString() << ":\n" << output.toStdString();
        EXPECT_FALSE(output.contains("SECRET")) << what.toStdString() << ":\n" << output.toStdString();
    }
}

class PasswordTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        execute(QString("CREATE ROLE clerk LOGIN PASSWORD '%1';"
                        "CREATE TABLE IF NOT EXISTS shelf (CODIGO integer);"
                        "TRUNCATE shelf;"
                        "INSERT INTO shelf VALUES (1), (2);"
                        "GRANT SELECT ON shelf TO clerk")
                    .arg(kSecret));
    }
};

} // namespace

TEST_F(PasswordTest, noRefusalOrFaultQuotesThePassword) {
    HostData data;
    const QString secret = kSecret;
    const QString file = data.write("db-password", secret.toUtf8() + "\n");
    const QString copy = data.path("shelf.copy");
    const QString query = "SELECT CODIGO FROM shelf";
    // URLs that hold the password themselves, in every form: refused before anything is tried.
    const QStringList inUrls = {
        "postgresql://clerk:" + secret + "@/shop?host=" + socketFolder(),
        clerkUrl() + "&password=" + secret,
        "postgresql://clerk:" + secret + "%zz@/shop",
        "postgresql://clerk:" + secret + "/x?y#z@db/shop",
        "mysql://clerk:" + secret + "@localhost/shop",
        "odbc:DSN=shop;UID=clerk;PWD=" + secret,
        "host=" + socketFolder() + " password=" + secret,
    };
    for (const QString& url : inUrls) {
        for (const QStringList& arguments :
             {QStringList{"--db", url, "--query", query}, QStringList{"--db", url}}) {
            const HostRun run = runHostWith(arguments + QStringList{"--keys", "probe"}, environmentWithout());
            EXPECT_NE(run.exitCode, 0) << url.toStdString() << "\n" << run.err.toStdString();
            expectNoPassword(run, url);
        }
    }
    // Every fault met with the password at hand, from the file and from the variable.
    struct Fault {
        QStringList arguments;
        int exitCode;
    };
    const Fault faults[] = {
        {{"--db", clerkUrl(), "--query", query, "--cache", copy}, 0},
        {{"--db", clerkUrl("nowhere"), "--query", query}, 2},
        {{"--db", "postgresql://intruder@/shop?host=" + socketFolder(), "--query", query}, 2},
        {{"--db", clerkUrl(), "--query", "SELECT nope FROM shelf"}, 2},
        {{"--db", clerkUrl(), "--query", "SELECT 1 AS a; DROP TABLE shelf"}, 2},
        {{"--db", clerkUrl(), "--query", "SELECT pg_sleep(5) AS s", "--query-timeout", "1"}, 2},
        {{"--db", "postgresql://clerk@/shop?host=" + data.path("none"), "--query", query}, 2},
        // The server unreachable: the local copy is served, and the report says why.
        {{"--db", "postgresql://clerk@/shop?host=" + data.path("none"), "--query", query, "--cache", copy},
         0},
    };
    const QProcessEnvironment environments[] = {environmentWith("QMR_DB_PASSWORD_FILE", file),
                                                environmentWith("QMR_DB_PASSWORD", secret)};
    for (const QProcessEnvironment& environment : environments) {
        for (const Fault& fault : faults) {
            const HostRun run = runHostWith(fault.arguments + QStringList{"--keys", "probe"}, environment);
            const QString what = fault.arguments.join(' ');
            EXPECT_EQ(run.exitCode, fault.exitCode) << what.toStdString() << "\n" << run.err.toStdString();
            expectNoPassword(run, what);
        }
    }
}

// The password read from --db-password-file or from the credential systemd hands the unit loads
// the rows, and the host's environment holds only where it came from.
TEST_F(PasswordTest, fromTheFileOrTheCredentialThePasswordIsInNoEnvironment) {
    HostData data;
    const QString file = data.write("db-password", QByteArray(kSecret) + "\n");
    QDir().mkpath(data.path("db-password.d"));
    data.write("db-password.d/db-password", QByteArray(kSecret));
    const struct {
        const char* what;
        QStringList arguments;
        QProcessEnvironment environment;
    } cases[] = {
        {"--db-password-file", {"--db-password-file", file}, environmentWithout()},
        {"credential", {}, environmentWith("CREDENTIALS_DIRECTORY", data.path("db-password.d"))},
    };
    for (const auto& c : cases) {
        QProcess host;
        startHost(host,
                  QStringList{"--db", clerkUrl(), "--query", "SELECT CODIGO FROM shelf", "--repeat", "0",
                              "--keys", "touch:sbtSair wait:60000"} +
                      c.arguments,
                  c.environment);
        // The first call's line: the rows were loaded with the password.
        while (!host.canReadLine() && host.state() == QProcess::Running)
            host.waitForReadyRead(30000);
        const QByteArray line = host.readLine();
        QFile environ("/proc/" + QString::number(host.processId()) + "/environ");
        const bool readable = environ.open(QIODevice::ReadOnly);
        const QByteArray variables = environ.readAll();
        ::kill(pid_t(host.processId()), SIGTERM);
        host.waitForFinished(30000);
        ASSERT_TRUE(line.contains("\"result\""))
            << c.what << ": " << host.readAllStandardError().toStdString();
        ASSERT_TRUE(readable) << c.what << ": cannot read " << environ.fileName().toStdString();
        EXPECT_FALSE(variables.isEmpty()) << c.what;
        EXPECT_FALSE(variables.contains(kSecret)) << c.what;
    }
}

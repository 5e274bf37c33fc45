// TLS to a PostgreSQL server that takes nothing else over TCP, with a certificate authority and a
// server certificate for localhost made by openssl: only a connection that checks the right
// certificate for the right name gets the rows; each other stops the host with status 2 and why.
#include "HostProcess.h"
#include "PostgresServer.h"

#include <QProcess>
#include <QTemporaryDir>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// A TCP port no one listens on now, for the server to take.
int freePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    const bool bound = bind(probe, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                       getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0;
    close(probe);
    return bound ? ntohs(address.sin_port) : 0;
}

// Two authorities (ca, other), and server.crt for localhost signed by ca; openssl's words when not.
QString makeCertificates(const QString& folder) {
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    const QString key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    openssl.start("sh",
                  {"-ec", QString("for ca in ca other; do openssl req -x509 %1 -keyout $ca.key -out $ca.crt "
                                  "-days 2 -subj /CN=$ca; done; openssl req %1 -keyout server.key -out "
                                  "server.csr -subj /CN=localhost; echo subjectAltName=DNS:localhost >ext; "
                                  "openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial "
                                  "-out server.crt -days 2 -extfile ext")
                              .arg(key)});
    const bool made = openssl.waitForFinished(60000) && openssl.exitCode() == 0;
    return made ? QString() : openssl.errorString() + " " + openssl.readAll();
}

} // namespace

TEST(TlsTest, onlyTheRightCertificateForTheRightNameGetsTheRows) {
    QTemporaryDir folder;
    const QString problem = makeCertificates(folder.path());
    ASSERT_TRUE(problem.isEmpty()) << "openssl cannot make the test's certificates: "
                                   << problem.toStdString();
    PostgresServer tls(freePort());
    ASSERT_TRUE(tls.createWithTls(folder.filePath("server.crt"), folder.filePath("server.key")))
        << "PostgreSQL with TLS cannot start: " << tls.error();
    const auto url = [&](const QString& host, const QString& parameters) {
        return "postgresql://qmr@" + host + ":" + QString::number(tls.port()) + "/postgres?" + parameters;
    };
    const QString checked = "sslmode=verify-full&sslrootcert=";
    const HostRun verified = runHost(
        {"--db", url("localhost", checked + folder.filePath("ca.crt")), "--query",
         "SELECT ssl::int AS encrypted FROM pg_stat_ssl WHERE pid = pg_backend_pid()", "--keys", "probe"});
    ASSERT_EQ(verified.exitCode, 0) << verified.err.toStdString();
    EXPECT_EQ(verified.json["recordCount"].toInt(), 1);
    const QString refused[][2] = {
        {url("localhost", checked + folder.filePath("other.crt")), "certificate verify failed"},
        {url("127.0.0.1", checked + folder.filePath("ca.crt")), "does not match host name \"127.0.0.1\""},
        {url("localhost", "sslmode=disable"), "no encryption"},
        {url("localhost", "sslmode=require&sslcompression=1"), "unknown parameter \"sslcompression\""},
    };
    for (const auto& [dbUrl, reason] : refused) {
        const HostRun run = runHost({"--db", dbUrl, "--query", "SELECT 1 AS one", "--keys", "probe"});
        EXPECT_EQ(run.exitCode, 2) << dbUrl.toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(reason.toUtf8()))
            << dbUrl.toStdString() << ": " << run.err.toStdString();
    }
}

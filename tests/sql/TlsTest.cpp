// TLS to a PostgreSQL server that takes nothing else over TCP: a certificate authority and a
// server certificate for localhost are made with openssl, and the host application loads through
// the URL's TLS parameters. Only a connection that checks the right certificate for the right name
// gets the rows; each other one stops the host with status 2 and the reason.
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
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    const bool bound = bind(probe, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                       getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0;
    close(probe);
    return bound ? ntohs(address.sin_port) : 0;
}

// The certificates of a test: two authorities, and a server certificate for localhost signed by the
// first.
class Certificates {
public:
    bool make() {
        return authority("ca") && authority("other-ca") && serverCertificate("server", "localhost");
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    const std::string& error() const { return m_error; }

private:
    bool openssl(const QStringList& arguments) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start("openssl", arguments);
        if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
            process.exitCode() == 0)
            return true;
        m_error = "openssl " + arguments.join(' ').toStdString() + ": " +
                  process.errorString().toStdString() + " " + process.readAll().toStdString();
        return false;
    }
    bool authority(const QString& name) {
        return openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                        "-keyout", path(name + ".key"), "-out", path(name + ".crt"), "-days", "2", "-subj",
                        "/CN=" + name});
    }
    bool serverCertificate(const QString& name, const QString& host) {
        QFile extensions(path(name + ".ext"));
        if (!extensions.open(QIODevice::WriteOnly) ||
            extensions.write(("subjectAltName=DNS:" + host).toUtf8()) < 0)
            return false;
        extensions.close();
        return openssl({"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                        "-keyout", path(name + ".key"), "-out", path(name + ".csr"), "-subj",
                        "/CN=" + host}) &&
               openssl({"x509", "-req", "-in", path(name + ".csr"), "-CA", path("ca.crt"), "-CAkey",
                        path("ca.key"), "-CAcreateserial", "-out", path(name + ".crt"), "-days", "2",
                        "-extfile", path(name + ".ext")});
    }

    QTemporaryDir m_dir;
    std::string m_error;
};

} // namespace

TEST(TlsTest, onlyTheRightCertificateForTheRightNameGetsTheRows) {
    Certificates certificates;
    ASSERT_TRUE(certificates.make()) << "cannot make the test's certificates: " << certificates.error();
    const int port = freePort();
    ASSERT_NE(port, 0) << "no free TCP port on the loopback address";
    PostgresServer tlsServer(port);
    ASSERT_TRUE(tlsServer.createWithTls(certificates.path("server.crt"), certificates.path("server.key")))
        << "PostgreSQL with TLS cannot start: " << tlsServer.error();

    const auto url = [&](const QString& host, const QString& parameters) {
        return "postgresql://" + PostgresServer::user() + "@" + host + ":" + QString::number(port) +
               "/postgres?" + parameters;
    };
    const QString rightCa = "sslrootcert=" + certificates.path("ca.crt");
    const HostRun verified = runHost(
        {"--db", url("localhost", "sslmode=verify-full&" + rightCa), "--query",
         "SELECT ssl::int AS encrypted FROM pg_stat_ssl WHERE pid = pg_backend_pid()", "--keys", "probe"});
    ASSERT_EQ(verified.exitCode, 0) << verified.err.toStdString();
    EXPECT_EQ(verified.json["recordCount"].toInt(), 1);

    struct Case {
        const char* what;
        QString url;
        const char* reason;
    };
    const Case cases[] = {
        {"another authority",
         url("localhost", "sslmode=verify-full&sslrootcert=" + certificates.path("other-ca.crt")),
         "certificate verify failed"},
        {"another host name", url("127.0.0.1", "sslmode=verify-full&" + rightCa), "does not match host name"},
        {"no TLS", url("localhost", "sslmode=disable"), "no encryption"},
        {"a parameter not read", url("localhost", "sslmode=verify-full&sslcompression=1"),
         "unknown parameter \"sslcompression\""},
    };
    for (const Case& c : cases) {
        const HostRun run = runHost({"--db", c.url, "--query", "SELECT 1 AS one", "--keys", "probe"});
        EXPECT_EQ(run.exitCode, 2) << c.what << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << c.what;
        EXPECT_TRUE(run.err.contains(c.reason)) << c.what << ": " << run.err.toStdString();
    }
}

#include "PostgresServer.h"

#include <QDir>
#include <QFile>
#include <QVersionNumber>

namespace {

// Debian keeps each major version's server programs in /usr/lib/postgresql/<version>/bin; the
// newest installed one is used.
QString serverPrograms() {
    const QDir root("/usr/lib/postgresql");
    QString best;
    QVersionNumber bestVersion;
    for (const QString& entry : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QVersionNumber version = QVersionNumber::fromString(entry);
        if (QFile::exists(root.filePath(entry + "/bin/initdb")) && version > bestVersion) {
            bestVersion = version;
            best = root.filePath(entry + "/bin");
        }
    }
    return best;
}

} // namespace

PostgresServer::PostgresServer(int port) : m_sandbox("qmr-pg"), m_port(port) {}

PostgresServer::~PostgresServer() {
    if (m_running)
        stop(false);
}

std::string PostgresServer::url(const QString& database) const {
    const QString port = m_port == 5432 ? QString() : "&port=" + QString::number(m_port);
    return ("postgresql://" + user() + "@/" + database + "?host=" + socketFolder() + port).toStdString();
}

bool PostgresServer::run(const QString& program, const QStringList& arguments) {
    return m_sandbox.run(m_bin + "/" + program, arguments);
}

bool PostgresServer::findPrograms() {
    m_bin = serverPrograms();
    return !m_bin.isEmpty() ||
           m_sandbox.fail("no PostgreSQL server programs under /usr/lib/postgresql/*/bin; "
                          "scripts/install-deps installs the postgresql package");
}

bool PostgresServer::initialise() {
    if (!m_sandbox.prepare() || !findPrograms() || !m_sandbox.write("password", password().toUtf8()))
        return false;
    return run("initdb", {"-D", dataFolder(), "-U", user(), "--pwfile=" + m_sandbox.filePath("password"),
                          "--auth=scram-sha-256", "-E", "UTF8", "--locale=C", "--no-sync"});
}

bool PostgresServer::create() {
    return initialise() && start();
}

bool PostgresServer::createWithTls(const QString& certificate, const QString& key) {
    QFile certificateFile(certificate);
    QFile keyFile(key);
    if (!certificateFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly))
        return m_sandbox.fail("cannot read the server's certificate or key: " + certificate.toStdString());
    if (!initialise() || !m_sandbox.write("server.crt", certificateFile.readAll()) ||
        !m_sandbox.write("server.key", keyFile.readAll()))
        return false;
    // The server refuses a key others may read.
    QFile::setPermissions(m_sandbox.filePath("server.key"), QFile::ReadOwner | QFile::WriteOwner);
    // TCP takes TLS connections alone: a connection without it finds no line that lets it in.
    QFile hba(dataFolder() + "/pg_hba.conf");
    if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        hba.write("local all all scram-sha-256\n"
                  "hostssl all all 127.0.0.1/32 scram-sha-256\n"
                  "hostssl all all ::1/128 scram-sha-256\n") < 0)
        return m_sandbox.fail("cannot write " + hba.fileName().toStdString());
    hba.close();
    m_tlsOptions =
        " -c listen_addresses=localhost -c ssl=on -c ssl_cert_file=" + m_sandbox.filePath("server.crt") +
        " -c ssl_key_file=" + m_sandbox.filePath("server.key");
    return start();
}

bool PostgresServer::createStandbyOf(const PostgresServer& primary) {
    if (!m_sandbox.prepare() || !findPrograms())
        return false;
    // The password goes in the connection string, which -R writes into the standby's
    // primary_conninfo, so that the standby logs in to stream too.
    const QString primaryAt = QString("host=%1 port=%2 user=%3 password=%4")
                                  .arg(primary.socketFolder())
                                  .arg(primary.port())
                                  .arg(user(), password());
    return run("pg_basebackup", {"-D", dataFolder(), "-d", primaryAt, "-R", "-X", "stream", "--no-sync"}) &&
           start();
}

bool PostgresServer::start() {
    // No TCP at all unless TLS is tested: the socket in the temporary folder is the only way in.
    const QString listen = m_tlsOptions.isEmpty() ? QString("-c listen_addresses=''") : m_tlsOptions;
    const QString options =
        listen + " -k " + socketFolder() + " -p " + QString::number(m_port) + " -c fsync=off";
    m_running = run(
        "pg_ctl", {"-D", dataFolder(), "-l", m_sandbox.filePath("server.log"), "-o", options, "-w", "start"});
    return m_running;
}

bool PostgresServer::stop(bool fast) {
    const bool stopped = run("pg_ctl", {"-D", dataFolder(), "-m", fast ? "fast" : "immediate", "-w", "stop"});
    m_running = m_running && !stopped;
    return stopped;
}

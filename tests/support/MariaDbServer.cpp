#include "MariaDbServer.h"

#include <QFile>
#include <QThread>

#include <csignal>

namespace {

const char* const kInstallDb = "/usr/bin/mariadb-install-db";
const char* const kServer = "/usr/sbin/mariadbd";
/// How long a start may take before the test gives up on the server.
constexpr int kStartMilliseconds = 60000;

} // namespace

MariaDbServer::MariaDbServer() : m_sandbox("qmr-maria") {}

MariaDbServer::~MariaDbServer() {
    if (!m_server || m_server->state() == QProcess::NotRunning || stop())
        return;
    signalServer(SIGKILL);
    m_server->waitForFinished();
}

std::string MariaDbServer::url(const QString& database) const {
    return ("mysql://" + testUser() + "@/" + database + "?socket=" + socketPath()).toStdString();
}

bool MariaDbServer::create(const QString& database) {
    if (!m_sandbox.prepare())
        return false;
    if (!QFile::exists(kInstallDb) || !QFile::exists(kServer))
        return m_sandbox.fail(std::string("no MariaDB server (") + kServer + ", " + kInstallDb +
                              "); scripts/install-deps installs mariadb-server-core and mariadb-client-core");
    // Run at every start, so the account and the database are there whatever the tests did.
    const QString account = "'" + testUser() + "'@'localhost'";
    const QByteArray init = ("CREATE DATABASE IF NOT EXISTS " + database + " CHARACTER SET utf8mb4;\n" +
                             "CREATE USER IF NOT EXISTS " + account + " IDENTIFIED BY '" + testPassword() +
                             "';\nGRANT ALL ON *.* TO " + account + ";\n")
                                .toUtf8();
    return m_sandbox.write("init.sql", init) &&
           m_sandbox.run(kInstallDb, {"--no-defaults", "--datadir=" + m_sandbox.filePath("data"),
                                      "--auth-root-authentication-method=socket", "--skip-test-db"}) &&
           start();
}

bool MariaDbServer::start() {
    // The server appends to its log, and says there when it takes connections (after its init file).
    const qint64 logStart = QFile(m_sandbox.filePath("server.log")).size();
    m_server = m_sandbox.launch(
        kServer, {"--no-defaults", "--datadir=" + m_sandbox.filePath("data"), "--socket=" + socketPath(),
                  "--skip-networking", "--pid-file=" + m_sandbox.filePath("mariadbd.pid"),
                  "--log-error=" + m_sandbox.filePath("server.log"),
                  "--init-file=" + m_sandbox.filePath("init.sql"), "--innodb-buffer-pool-size=32M"});
    for (int waited = 0; waited < kStartMilliseconds; waited += 100) {
        if (m_server->state() == QProcess::NotRunning)
            return m_sandbox.fail("mariadbd stopped as it started: " + logTail());
        QFile log(m_sandbox.filePath("server.log"));
        if (log.open(QIODevice::ReadOnly) && log.seek(logStart) &&
            log.readAll().contains("ready for connections"))
            return true;
        QThread::msleep(100);
    }
    return m_sandbox.fail("mariadbd did not take connections within a minute: " + logTail());
}

bool MariaDbServer::signalServer(int signal) {
    QFile pidFile(m_sandbox.filePath("mariadbd.pid"));
    bool ok = false;
    const pid_t pid = pidFile.open(QIODevice::ReadOnly) ? pid_t(pidFile.readAll().trimmed().toInt(&ok)) : 0;
    return (ok && ::kill(pid, signal) == 0) ||
           m_sandbox.fail("mariadbd is not running (no process number in " +
                          pidFile.fileName().toStdString() + ")");
}

bool MariaDbServer::stop() {
    // runuser would answer a signal by killing the server two seconds later, and would leave it
    // running if killed itself: the server is signalled by the process number it wrote.
    if (!m_server || !signalServer(SIGTERM))
        return false;
    return m_server->waitForFinished(kStartMilliseconds) ||
           m_sandbox.fail("mariadbd did not stop within a minute: " + logTail());
}

std::string MariaDbServer::logTail() const {
    QFile log(m_sandbox.filePath("server.log"));
    if (!log.open(QIODevice::ReadOnly))
        return "no log";
    const QByteArray text = log.readAll();
    return text.right(2000).toStdString();
}

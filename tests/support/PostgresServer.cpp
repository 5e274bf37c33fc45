#include "PostgresServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QVersionNumber>

#include <pwd.h>
#include <unistd.h>

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

// Gives the folder to `user` so that the server, running as that user, can write in it.
bool giveFolderTo(const QString& folder, const QString& user) {
    const passwd* account = getpwnam(user.toLocal8Bit().constData());
    return account && chown(QFile::encodeName(folder).constData(), account->pw_uid, account->pw_gid) == 0;
}

} // namespace

PostgresServer::PostgresServer() : m_dir(QDir::tempPath() + "/qmr-pg-XXXXXX") {}

PostgresServer::~PostgresServer() {
    if (m_running)
        stop(false);
}

std::string PostgresServer::url(const QString& database) const {
    return ("postgresql://" + user() + "@/" + database + "?host=" + socketFolder()).toStdString();
}

bool PostgresServer::run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString path = m_bin + "/" + program;
    if (m_runAs.isEmpty())
        process.start(path, arguments);
    else
        process.start("runuser", QStringList{"-u", m_runAs, "--", path} + arguments);
    const bool finished = process.waitForFinished(120000);
    const QByteArray output = process.readAll();
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    m_error = (program + " " + arguments.join(' ')).toStdString() +
              (finished ? " failed: " : " did not finish: ") + output.toStdString();
    return false;
}

bool PostgresServer::create() {
    if (!m_dir.isValid())
        return (m_error = "cannot create a temporary folder: " + m_dir.errorString().toStdString()), false;
    m_bin = serverPrograms();
    if (m_bin.isEmpty())
        return (m_error = "no PostgreSQL server programs under /usr/lib/postgresql/*/bin; "
                          "scripts/install-deps installs the postgresql package"),
               false;
    if (geteuid() == 0) {
        m_runAs = "postgres";
        if (!giveFolderTo(m_dir.path(), m_runAs))
            return (m_error = "running as root, and the system user postgres (made by the postgresql "
                              "package) cannot own " +
                              m_dir.path().toStdString()),
                   false;
    }
    const QString passwordFile = m_dir.filePath("password");
    QFile file(passwordFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(password().toUtf8()) < 0)
        return (m_error = "cannot write " + passwordFile.toStdString()), false;
    file.close();
    if (!m_runAs.isEmpty())
        giveFolderTo(passwordFile, m_runAs);
    return run("initdb", {"-D", dataFolder(), "-U", user(), "--pwfile=" + passwordFile,
                          "--auth=scram-sha-256", "-E", "UTF8", "--locale=C", "--no-sync"}) &&
           start();
}

bool PostgresServer::start() {
    // No TCP at all: the socket in the temporary folder is the only way in.
    const QString options = "-c listen_addresses='' -k " + socketFolder() + " -c fsync=off";
    m_running =
        run("pg_ctl", {"-D", dataFolder(), "-l", m_dir.filePath("server.log"), "-o", options, "-w", "start"});
    return m_running;
}

bool PostgresServer::stop(bool fast) {
    const bool stopped = run("pg_ctl", {"-D", dataFolder(), "-m", fast ? "fast" : "immediate", "-w", "stop"});
    m_running = m_running && !stopped;
    return stopped;
}

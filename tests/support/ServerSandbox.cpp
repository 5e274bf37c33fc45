#include "ServerSandbox.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

namespace {

// Gives the file or folder to `user` so that a program running as that user can write in it.
bool giveTo(const QString& path, const QString& user) {
    const passwd* account = getpwnam(user.toLocal8Bit().constData());
    return account && chown(QFile::encodeName(path).constData(), account->pw_uid, account->pw_gid) == 0;
}

} // namespace

ServerSandbox::ServerSandbox(const QString& prefix) : m_dir(QDir::tempPath() + "/" + prefix + "-XXXXXX") {}

bool ServerSandbox::fail(std::string why) {
    m_error = std::move(why);
    return false;
}

bool ServerSandbox::prepare() {
    if (!m_dir.isValid())
        return fail("cannot create a temporary folder: " + m_dir.errorString().toStdString());
    if (geteuid() != 0)
        return true;
    m_runAs = "postgres";
    if (!giveTo(m_dir.path(), m_runAs))
        return fail("running as root, and the system user postgres (made by the postgresql package) "
                    "cannot own " +
                    m_dir.path().toStdString());
    return true;
}

std::pair<QString, QStringList> ServerSandbox::command(const QString& path,
                                                       const QStringList& arguments) const {
    if (m_runAs.isEmpty())
        return {path, arguments};
    return {"runuser", QStringList{"-u", m_runAs, "--", path} + arguments};
}

bool ServerSandbox::run(const QString& path, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const auto [program, line] = command(path, arguments);
    process.start(program, line);
    const bool finished = process.waitForFinished(120000);
    const QByteArray output = process.readAll();
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    return fail((path + " " + arguments.join(' ')).toStdString() +
                (finished ? " failed: " : " did not finish: ") + output.toStdString());
}

std::unique_ptr<QProcess> ServerSandbox::launch(const QString& path, const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::MergedChannels);
    const auto [program, line] = command(path, arguments);
    process->start(program, line);
    if (!process->waitForStarted())
        fail("cannot start " + path.toStdString() + ": " + process->errorString().toStdString());
    return process;
}

bool ServerSandbox::write(const QString& name, const QByteArray& content) {
    QFile file(filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return fail("cannot write " + file.fileName().toStdString());
    file.close();
    return m_runAs.isEmpty() || giveTo(file.fileName(), m_runAs) ||
           fail("cannot give " + file.fileName().toStdString() + " to " + m_runAs.toStdString());
}

#pragma once
// What the throwaway database servers of the tests share: a temporary folder of their own, and
// their programs run as an unprivileged system user when the tests run as root (PostgreSQL and
// MariaDB refuse root), as the test's own user otherwise.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <string>

/// The account every test server is given: one user and password, so that a test can point any
/// driver at any server with the same credentials.
inline QString testUser() {
    return "qmr";
}
inline QString testPassword() {
    return "qmr-test-secret";
}

/// One server's folder and the way its commands run. Every step that fails says why in `error()`.
class ServerSandbox {
public:
    /// A folder named after `prefix` under the temporary folder (not created until prepare()).
    explicit ServerSandbox(const QString& prefix);
    ServerSandbox(const ServerSandbox&) = delete;
    ServerSandbox& operator=(const ServerSandbox&) = delete;

    /// Creates the folder and, as root, gives it to the system user postgres (made by the
    /// postgresql package), which then runs every command.
    bool prepare();
    /// Runs the program `path` to its end; false with `error()` set when it fails or hangs.
    bool run(const QString& path, const QStringList& arguments);
    /// Starts the program `path` and leaves it running (a server in the foreground).
    std::unique_ptr<QProcess> launch(const QString& path, const QStringList& arguments);
    /// Writes a file of the folder that the commands can read.
    bool write(const QString& name, const QByteArray& content);
    /// Sets `error()`; returns false for the caller to return.
    bool fail(std::string why);

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    const std::string& error() const { return m_error; }

private:
    /// The command line that runs `path` as the commands' user.
    std::pair<QString, QStringList> command(const QString& path, const QStringList& arguments) const;

    QTemporaryDir m_dir;
    /// Commands run as this system user when the tests run as root; empty otherwise.
    QString m_runAs;
    std::string m_error;
};

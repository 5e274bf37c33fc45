#pragma once
// A throwaway PostgreSQL cluster for the tests: made with initdb in a temporary folder, password
// authentication, listening only on a Unix socket in that folder, stopped whatever happens.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <string>

/// One cluster, owned by the test program. Every step that fails says why in `error()`.
class PostgresServer {
public:
    PostgresServer();
    /// Stops the server at once (pg_ctl stop -m immediate) if it is still running.
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    /// Creates the cluster and starts it; false with `error()` set when it cannot.
    bool create();
    bool start();
    /// Stops the server; `fast` waits for clients, otherwise it stops at once.
    bool stop(bool fast = true);

    const std::string& error() const { return m_error; }
    /// The folder holding the server's socket.
    QString socketFolder() const { return m_dir.path(); }
    static QString user() { return "qmr"; }
    static QString password() { return "qmr-test-secret"; }
    /// `postgresql://qmr@/DATABASE?host=SOCKET_FOLDER`.
    std::string url(const QString& database) const;

private:
    bool run(const QString& program, const QStringList& arguments);
    QString dataFolder() const { return m_dir.filePath("data"); }

    QTemporaryDir m_dir;
    QString m_bin;
    /// Commands run as this system user when the tests run as root (initdb refuses root).
    QString m_runAs;
    bool m_running = false;
    std::string m_error;
};

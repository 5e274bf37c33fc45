#pragma once
// A throwaway PostgreSQL cluster for the tests: made with initdb in a temporary folder (or copied
// from another cluster as its streaming standby), password authentication, listening only on a
// Unix socket in that folder, stopped whatever happens.

#include "ServerSandbox.h"

#include <QString>
#include <QStringList>

#include <string>

/// One cluster, owned by the test program. Every step that fails says why in `error()`.
class PostgresServer {
public:
    /// A cluster that will listen on the socket of `port` in its own folder.
    explicit PostgresServer(int port = 5432);
    /// Stops the server at once (pg_ctl stop -m immediate) if it is still running.
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    /// Creates the cluster and starts it; false with `error()` set when it cannot.
    bool create();
    /// Creates the cluster to be reached over TCP at localhost:`port()` with TLS alone (ssl=on and
    /// hostssl lines only; the Unix socket stays for the tests' own setup), presenting
    /// `certificate` with its `key` (PEM files), and starts it.
    bool createWithTls(const QString& certificate, const QString& key);
    /// Creates the cluster as a streaming standby of the running `primary` (pg_basebackup -R) and
    /// starts it; it serves reads and follows the primary's changes.
    bool createStandbyOf(const PostgresServer& primary);
    bool start();
    /// Stops the server; `fast` waits for clients, otherwise it stops at once.
    bool stop(bool fast = true);

    bool running() const { return m_running; }
    const std::string& error() const { return m_sandbox.error(); }
    /// The folder holding the server's socket.
    QString socketFolder() const { return m_sandbox.path(); }
    int port() const { return m_port; }
    static QString user() { return testUser(); }
    static QString password() { return testPassword(); }
    /// `postgresql://qmr@/DATABASE?host=SOCKET_FOLDER` (and `&port=PORT` for another port than 5432).
    std::string url(const QString& database) const;

private:
    /// Makes the cluster's folder and runs initdb.
    bool initialise();
    /// Finds the server programs; false when none are installed.
    bool findPrograms();
    bool run(const QString& program, const QStringList& arguments);
    QString dataFolder() const { return m_sandbox.filePath("data"); }

    ServerSandbox m_sandbox;
    int m_port;
    /// The server's options for TLS, empty without it.
    QString m_tlsOptions;
    QString m_bin;
    bool m_running = false;
};

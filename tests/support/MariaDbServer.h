#pragma once
// A throwaway MariaDB server for the tests: its data folder made with mariadb-install-db in a
// temporary folder, no networking (a Unix socket in that folder is the only way in), one database
// and a password account for the tests, stopped whatever happens.

#include "ServerSandbox.h"

#include <QProcess>
#include <QString>

#include <memory>
#include <string>

/// One server, owned by the test program. Every step that fails says why in `error()`.
class MariaDbServer {
public:
    MariaDbServer();
    /// Stops the server if it is still running (kills it if it does not stop).
    ~MariaDbServer();
    MariaDbServer(const MariaDbServer&) = delete;
    MariaDbServer& operator=(const MariaDbServer&) = delete;

    /// Creates the data folder and starts the server with `database` and the test account
    /// (testUser(), testPassword()) in it; false with `error()` set when it cannot.
    bool create(const QString& database);
    /// Starts the server and waits until it takes connections.
    bool start();
    /// Stops the server cleanly and waits for it to end.
    bool stop();

    const std::string& error() const { return m_sandbox.error(); }
    QString socketPath() const { return m_sandbox.filePath("mysqld.sock"); }
    /// `mysql://qmr@/DATABASE?socket=SOCKET`.
    std::string url(const QString& database) const;

private:
    /// Sends `signal` to the server process.
    bool signalServer(int signal);
    /// The end of the server's log, which says why it stopped.
    std::string logTail() const;

    ServerSandbox m_sandbox;
    std::unique_ptr<QProcess> m_server;
};

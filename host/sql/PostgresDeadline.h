#pragma once
// A query's time limit kept by the client's own clock. Qt's driver waits for the server inside
// libpq, and a server may never answer: a query that turns its statement_timeout off, a backend
// that is stopped while its machine still acknowledges every packet (no TCP keepalive notices
// that). So a thread of its own watches the clock while the loader waits: at the deadline it asks
// the server to cancel the query (libpq's cancel request, which is made for another thread), and
// when the query has still not ended a moment later it shuts the connection's socket down, which
// ends the wait in libpq at once with the connection lost.
//
// libpq's cancel request blocks until the server has taken it, and a server gone from the network
// may take minutes to fail the connection the request opens. So the request is sent from a thread
// of its own that nothing waits for, owning what it needs, and the socket is shut on time whatever
// became of it.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

struct pg_cancel;

namespace qmr {

class PostgresHandle;

/// Watches one connection from construction to destruction.
class PostgresDeadline {
public:
    /// How long the server is given to answer the cancel request before the connection is shut.
    static constexpr std::chrono::milliseconds kCancelGrace{1000};

    /// Watches the connection under `handle` until `deadline`.
    PostgresDeadline(const PostgresHandle& handle, std::chrono::steady_clock::time_point deadline);
    /// Stops watching; the connection is left as it is.
    ~PostgresDeadline();
    PostgresDeadline(const PostgresDeadline&) = delete;
    PostgresDeadline& operator=(const PostgresDeadline&) = delete;

    /// Whether the deadline came while watching: the query was cancelled, and perhaps its
    /// connection shut.
    bool passed() const { return m_passed.load(); }

private:
    void watch(std::stop_token stop);
    /// Waits until `until` or until watching stops; false when it stopped.
    bool sleepUntil(std::stop_token& stop, std::chrono::steady_clock::time_point until);

    /// What the cancel request needs, handed to the thread that sends it.
    std::unique_ptr<pg_cancel, void (*)(pg_cancel*)> m_cancel;
    /// A duplicate of the connection's socket: shutting it down shuts the connection's, and the
    /// descriptor stays ours even after libpq closes its own.
    int m_socket = -1;
    std::chrono::steady_clock::time_point m_deadline;
    std::atomic<bool> m_passed{false};
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    /// Last, so that it ends before what it uses.
    std::jthread m_thread;
};

} // namespace qmr

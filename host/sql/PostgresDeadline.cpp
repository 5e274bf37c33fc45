#include <qmr41726/sql/PostgresDeadline.h>

#include <qmr41726/sql/PostgresHandle.h>

#include <fcntl.h>
#include <libpq-fe.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qmr {

PostgresDeadline::PostgresDeadline(const PostgresHandle& handle,
                                   std::chrono::steady_clock::time_point deadline)
    : m_cancel(nullptr, &PQfreeCancel), m_deadline(deadline) {
    if (pg_conn* connection = handle.connection()) {
        m_cancel.reset(PQgetCancel(connection));
        if (const int socket = PQsocket(connection); socket >= 0)
            m_socket = fcntl(socket, F_DUPFD_CLOEXEC, 0);
    }
    m_thread = std::jthread([this](std::stop_token stop) { watch(std::move(stop)); });
}

PostgresDeadline::~PostgresDeadline() {
    m_thread.request_stop();
    if (m_thread.joinable())
        m_thread.join();
    if (m_socket >= 0)
        ::close(m_socket);
}

bool PostgresDeadline::sleepUntil(std::stop_token& stop, std::chrono::steady_clock::time_point until) {
    std::unique_lock lock(m_mutex);
    m_wake.wait_until(lock, stop, until, [] { return false; });
    return !stop.stop_requested();
}

void PostgresDeadline::watch(std::stop_token stop) {
    if (!sleepUntil(stop, m_deadline))
        return;
    m_passed = true;
    if (m_cancel) {
        std::thread([cancel = std::move(m_cancel)] {
            char error[256];
            PQcancel(cancel.get(), error, int(sizeof error));
        }).detach();
    }
    if (!sleepUntil(stop, std::chrono::steady_clock::now() + kCancelGrace))
        return;
    if (m_socket >= 0)
        ::shutdown(m_socket, SHUT_RDWR);
}

} // namespace qmr

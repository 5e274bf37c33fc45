#include "StopSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::array kStopSignals{SIGTERM, SIGINT};

/// The pipe's writing end, for the handler; -1 while no StopSignals lives.
volatile std::sig_atomic_t g_writeFd = -1;

/// Async-signal-safe: one write, errno kept. A full pipe already holds a request.
extern "C" void onStopSignal(int) {
    const int savedErrno = errno;
    const int fd = g_writeFd;
    if (fd >= 0) {
        const char byte = 's';
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

struct sigaction g_previous[kStopSignals.size()];

[[noreturn]] void failed(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

StopSignals::StopSignals() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        failed("cannot make the pipe for stop signals");
    m_readFd = fds[0];
    m_writeFd = fds[1];
    g_writeFd = m_writeFd;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        if (::sigaction(kStopSignals[i], &action, &g_previous[i]) != 0)
            failed("cannot install the stop signal handler");
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_readFd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        readPipe();
        if (m_requested && !m_told && onStop) {
            m_told = true;
            onStop();
        }
    });
}

StopSignals::~StopSignals() {
    m_notifier.reset();
    for (std::size_t i = 0; i < kStopSignals.size(); ++i)
        ::sigaction(kStopSignals[i], &g_previous[i], nullptr);
    g_writeFd = -1;
    ::close(m_readFd);
    ::close(m_writeFd);
}

bool StopSignals::requested() {
    readPipe();
    return m_requested;
}

bool StopSignals::requestedWithin(std::chrono::milliseconds wait) {
    if (requested())
        return true;
    pollfd readable{m_readFd, POLLIN, 0};
    while (::poll(&readable, 1, int(wait.count())) < 0 && errno == EINTR) {
    }
    return requested();
}

void StopSignals::readPipe() {
    char bytes[64];
    while (::read(m_readFd, bytes, sizeof bytes) > 0)
        m_requested = true;
}

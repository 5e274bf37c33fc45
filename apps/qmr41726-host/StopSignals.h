#pragma once
// SIGTERM and SIGINT as a request to stop, heard in the event loop: the signal handler only writes
// a byte to a pipe (the self-pipe way), and a socket notifier on the pipe's other end tells the
// host once its event loop runs. systemd's stop and Ctrl+C on a terminal both arrive this way.

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

class QSocketNotifier;

/// While it lives, SIGTERM and SIGINT no longer end the process: each is a stop request, reported
/// once through `onStop` from the event loop. One at a time in a process. The former handlers
/// come back when it goes.
class StopSignals : public QObject {
public:
    /// Installs the handlers; std::system_error if the pipe or a handler cannot be set up.
    StopSignals();
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    /// Called once, from the event loop, at the first signal.
    std::function<void()> onStop;

    /// Whether a stop has been asked for: a signal seen by the event loop, or one still waiting in
    /// the pipe (a signal that came while no event loop ran, between calls). Does not call onStop.
    bool requested();
    /// The same, waiting up to `wait` for a signal that has not come yet.
    bool requestedWithin(std::chrono::milliseconds wait);

private:
    void readPipe();

    int m_readFd = -1;
    int m_writeFd = -1;
    bool m_requested = false;
    bool m_told = false;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

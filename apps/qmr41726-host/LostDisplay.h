#pragma once
// A display connection lost after a stop was asked for is a stop, not a failure. systemd's stop
// sends SIGTERM to the compositor (cage) and the host at once: the compositor may be gone before
// the host has closed its screen, and Qt's Wayland (and X11) platform then logs that the connection
// broke and ends the process at once with a failure status. The host hears that message first,
// through Qt's message handler, and finishes its stop there instead.

#include <QString>

#include <functional>

/// While it lives, Qt's messages pass through a handler that watches for a broken display
/// connection; every message still reaches the handler installed before (stderr, the journal).
/// One at a time in a process.
class LostDisplay {
public:
    /// `stopAsked` says whether a stop has been asked for; `finish` ends the stop and the process
    /// (it must not return). Both are called on the thread that lost the connection, the GUI thread.
    LostDisplay(std::function<bool()> stopAsked, std::function<void()> finish);
    ~LostDisplay();
    LostDisplay(const LostDisplay&) = delete;
    LostDisplay& operator=(const LostDisplay&) = delete;

    /// Whether `message` is a platform's word that its display connection broke.
    static bool isConnectionLoss(const QString& message);
};

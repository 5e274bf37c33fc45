#include "LostDisplay.h"

#include <QCoreApplication>
#include <QString>
#include <QThread>
#include <QtGlobal>

#include <atomic>
#include <memory>
#include <unistd.h>

namespace {

struct Watch {
    std::function<bool()> stopAsked;
    std::function<void()> finish;
    QtMessageHandler previous = nullptr;
};

std::unique_ptr<Watch> g_watch;
/// The stop is being finished (once, on the GUI thread).
std::atomic_bool g_finishing = false;

/// The finish asked for from another thread, run on the GUI thread.
void watchMessagesFinish() {
    if (g_watch && !g_finishing.exchange(true))
        g_watch->finish();
}

/// Waits for the thread finishing the stop to end the process.
[[noreturn]] void park() {
    for (;;)
        ::pause();
}

void watchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    Watch* watch = g_watch.get();
    if (watch && watch->previous)
        watch->previous(type, context, message);
    if (!watch || type == QtDebugMsg || type == QtInfoMsg || !LostDisplay::isConnectionLoss(message) ||
        !watch->stopAsked())
        return; // a real loss: the platform ends the process with its failure status
    // The platform ends the process as soon as this returns: the stop is finished on the GUI
    // thread, where the screen lives, and any other thread that saw the loss waits for it.
    const bool onGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    if (onGuiThread && !g_finishing.exchange(true))
        watch->finish(); // does not return
    if (!onGuiThread)
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { watchMessagesFinish(); }, Qt::QueuedConnection);
    park();
}

} // namespace

LostDisplay::LostDisplay(std::function<bool()> stopAsked, std::function<void()> finish) {
    g_watch = std::make_unique<Watch>(Watch{std::move(stopAsked), std::move(finish), nullptr});
    g_watch->previous = qInstallMessageHandler(watchMessages);
}

LostDisplay::~LostDisplay() {
    qInstallMessageHandler(g_watch->previous);
    g_watch.reset();
}

bool LostDisplay::isConnectionLoss(const QString& message) {
    // qtwayland: "The Wayland connection broke. Did the Wayland compositor die?" and "The Wayland
    // connection experienced a fatal error: ..."; xcb: "The X11 connection broke ...".
    return message.startsWith(QLatin1String("The Wayland connection broke")) ||
           message.startsWith(QLatin1String("The Wayland connection experienced a fatal error")) ||
           message.startsWith(QLatin1String("The X11 connection broke"));
}

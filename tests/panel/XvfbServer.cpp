#include "XvfbServer.h"

#include <QDeadlineTimer>

namespace {
constexpr int kStartMs = 15000;
} // namespace

XvfbServer::XvfbServer(QSize screen) {
    // -displayfd: Xvfb takes the first free display and writes its number on stdout once it
    // accepts clients, so no two test runs ever share a display.
    const QString depth = QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height());
    m_process.start("Xvfb", {"-displayfd", "1", "-screen", "0", depth, "-nolisten", "tcp"});
    if (!m_process.waitForStarted(kStartMs)) {
        m_error = "Xvfb could not be started (" + m_process.errorString() +
                  "); scripts/install-deps installs the xvfb package";
        return;
    }
    const QDeadlineTimer deadline(kStartMs);
    while (!m_process.canReadLine() && m_process.state() == QProcess::Running && !deadline.hasExpired())
        m_process.waitForReadyRead(int(deadline.remainingTime()));
    const QString number = QString::fromLatin1(m_process.readLine()).trimmed();
    if (number.isEmpty() || m_process.state() != QProcess::Running) {
        m_error = "Xvfb did not open a display within " + QString::number(kStartMs) +
                  " ms: " + QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
        return;
    }
    m_display = ":" + number;
}

XvfbServer::~XvfbServer() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

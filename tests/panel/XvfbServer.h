#pragma once
// A virtual X server (Xvfb) of a given screen size for one test program, on a display it picks
// itself among the free ones; stopped when the object goes.

#include <QProcess>
#include <QSize>
#include <QString>

/// Xvfb with one screen of a given size. When it cannot start, error() says why.
class XvfbServer {
public:
    explicit XvfbServer(QSize screen);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool running() const { return m_process.state() == QProcess::Running && !m_display.isEmpty(); }
    /// The display's name for DISPLAY (":N").
    const QString& display() const { return m_display; }
    const QString& error() const { return m_error; }

private:
    QProcess m_process;
    QString m_display;
    QString m_error;
};

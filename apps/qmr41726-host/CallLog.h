#pragma once
// What the user was told during the call: the texts shown through Mensagem and the errors that
// reached the application's error handler, in order, as UTF-8.

#include <QStringList>

namespace qmr {
class TApplication;
} // namespace qmr

/// Records messages and errors of the call. In scripted runs nothing blocks: the texts are only
/// recorded. In interactive runs they are also shown in a message box, as the user expects.
class CallLog {
public:
    enum class Mode { Scripted, Interactive };

    /// Installs the host's Mensagem routine and the application's error handler.
    CallLog(qmr::TApplication& application, Mode mode);
    /// Restores the runtime's own routine and handler.
    ~CallLog();
    CallLog(const CallLog&) = delete;
    CallLog& operator=(const CallLog&) = delete;

    /// Messages and errors one call keeps each; later ones are counted in dropped(), so that a
    /// script of millions of failing steps still gives a report of bounded size.
    static constexpr int kMaxEntries = 10000;

    const QStringList& messages() const noexcept { return m_messages; }
    const QStringList& errors() const noexcept { return m_errors; }
    /// Messages and errors past kMaxEntries, not kept.
    int dropped() const noexcept { return m_dropped; }
    /// Records an error of the host itself (a script step that could not run).
    void addError(const QString& text) { keep(m_errors, text); }

private:
    void keep(QStringList& list, const QString& text);
    void show(const QString& title, const QString& text) const;

    qmr::TApplication& m_application;
    Mode m_mode;
    QStringList m_messages;
    QStringList m_errors;
    int m_dropped = 0;
};

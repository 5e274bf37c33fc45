#pragma once
// Runs a key script on the search screen while its modal loop runs, and watches the screen close.

#include "KeyScript.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CallLog;
class InputDriver;
namespace qmr {
class TApplication;
class TDataSet;
class TForm;
} // namespace qmr

/// Starts the script when the screen is shown, one step per turn of the screen's event loop, so
/// that every message a step posts is handled before the next step. Once the screen has closed the
/// remaining steps are skipped; if the script runs out first, the runner closes the screen itself.
/// Without a script it only takes the snapshot of the screen as it closes.
class ScriptRunner : public QObject {
public:
    ScriptRunner(std::optional<std::vector<KeyStep>> script, const qmr::TDataSet* dataSet, CallLog& log);
    ~ScriptRunner() override;

    /// Hooks the application's modal notifications (undone by the destructor).
    void attach(qmr::TApplication& application);

    /// The snapshot taken as the screen closed; null if it never opened.
    const QJsonValue& screen() const noexcept { return m_screen; }
    const QJsonArray& probes() const noexcept { return m_probes; }
    /// One entry per step run: {"step": the step as written, "ms": its time}.
    const QJsonArray& timings() const noexcept { return m_timings; }
    /// The script ended while the screen was still open.
    bool ranOut() const noexcept { return m_ranOut; }
    /// Why the script could not run on this screen at all (a usage error), if so.
    const std::optional<QString>& fatalError() const noexcept { return m_fatalError; }
    /// Steps not run because the screen closed first.
    int skippedSteps() const noexcept;

private:
    void screenShown(qmr::TForm& form);
    void closeAccepted(qmr::TForm& form);
    void screenClosed(qmr::TForm& form);
    void runNext();
    void closeScreen();
    void runStep(const KeyStep& step, InputDriver& input);
    /// Sends the step's events (or records the probe); StepError when it cannot act.
    void act(const KeyStep& step, InputDriver& input);
    void stepDone(const KeyStep& step, QElapsedTimer& clock);
    std::optional<QString> checkScript(const InputDriver& input) const;
    bool screenOpen() const;
    qmr::TForm* liveForm() const;

    std::optional<std::vector<KeyStep>> m_script;
    const qmr::TDataSet* m_dataSet;
    std::unique_ptr<InputDriver> m_input;
    CallLog& m_log;
    qmr::TApplication* m_application = nullptr;

    std::uintptr_t m_handle = 0;
    bool m_started = false;
    /// The screen's close has been accepted: no step runs any more.
    bool m_closed = false;
    std::size_t m_next = 0;

    QJsonValue m_screen;
    QJsonArray m_probes;
    QJsonArray m_timings;
    bool m_ranOut = false;
    std::optional<QString> m_fatalError;
};

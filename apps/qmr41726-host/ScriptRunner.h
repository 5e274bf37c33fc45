#pragma once
// Runs a key script on the search screen while its modal loop runs, and watches the screen close.

#include "KeyScript.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>

#include <cstdint>
#include <functional>
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
///
/// In a repeated run one runner serves every call: beginCall() starts each call afresh, and the
/// script runs on where the previous screen left it, the next steps driving the next screen.
class ScriptRunner : public QObject {
public:
    /// Probes one call keeps; later ones are counted in probesDropped(). With the timings below this
    /// bounds the report whatever the script's length (a probe is a few hundred bytes).
    static constexpr int kMaxProbes = 10000;
    /// Step timings one call keeps; later ones are counted in timingsDropped().
    static constexpr int kMaxTimings = 10000;

    ScriptRunner(std::optional<std::vector<KeyStep>> script, const qmr::TDataSet* dataSet, CallLog& log);
    /// A runner whose calls are each begun with beginCall().
    explicit ScriptRunner(std::optional<std::vector<KeyStep>> script);
    ~ScriptRunner() override;

    /// Hooks the application's modal notifications (undone by the destructor).
    void attach(qmr::TApplication& application);

    /// Starts another call on `dataSet`, its messages going to `log`: the screen, probes, timings
    /// and "ran out" of the last call are cleared; the script goes on from its next step (a wait
    /// the last screen closed under counts as done).
    void beginCall(const qmr::TDataSet* dataSet, CallLog& log);
    /// Called once the call's screen has been shown and its modal loop runs.
    std::function<void(qmr::TForm&)> onScreenShown;
    /// Stops the script: no further step runs, in this call or a later one.
    void halt();
    /// Closes the call's open screen as its Exit key does (the same handler: no row chosen, the
    /// search's filter put back), after halting the script and closing any dialog over the
    /// screen. A screen that does not close within a grace period is ended directly, with an
    /// error recorded. Nothing happens when no screen of this call is open.
    void leaveScreen();
    /// Presses the open screen's Exit key once (its handler only: nothing is shown or hidden
    /// before the event loop runs again). Returns whether the key was pressed in this call.
    bool pressExitKey();
    /// Takes the snapshot of the open screen now, unless the one of its close is already taken.
    void snapshotNow();
    /// The call's screen while it is shown and its close not yet accepted, else nullptr.
    qmr::TForm* openScreen() const;

    /// The snapshot taken as the screen closed; null if it never opened.
    const QJsonValue& screen() const noexcept { return m_screen; }
    const QJsonArray& probes() const noexcept { return m_probes; }
    /// One entry per step run: {"step": the step as written, "ms": its time}.
    const QJsonArray& timings() const noexcept { return m_timings; }
    /// Probes of this call past kMaxProbes, run but not kept.
    int probesDropped() const noexcept { return m_probesDropped; }
    /// Step timings of this call past kMaxTimings, not kept.
    int timingsDropped() const noexcept { return m_timingsDropped; }
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
    /// Ends the screen's modal loop directly if it is still open after the grace period.
    void endScreenAfterGrace(const QString& what);
    /// Runs `work` from the event loop later, unless another call has begun by then.
    template <class F> void later(int ms, F work);
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
    CallLog* m_log;
    qmr::TApplication* m_application = nullptr;

    std::uintptr_t m_handle = 0;
    bool m_started = false;
    /// The screen's close has been accepted: no step runs any more.
    bool m_closed = false;
    std::size_t m_next = 0;
    /// The script is stopped for good (a stop request).
    bool m_halted = false;
    /// A wait step is running.
    bool m_waiting = false;
    /// The Exit key has been pressed by leaveScreen() or pressExitKey() in this call.
    bool m_exitPressed = false;
    /// Counts the calls: work deferred by one call is dropped in the next.
    std::uint64_t m_generation = 0;

    QJsonValue m_screen;
    QJsonArray m_probes;
    QJsonArray m_timings;
    int m_probesDropped = 0;
    int m_timingsDropped = 0;
    bool m_ranOut = false;
    std::optional<QString> m_fatalError;
};

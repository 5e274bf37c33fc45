#include "ScriptRunner.h"

#include "CallLog.h"
#include "InputDriver.h"
#include "Snapshot.h"

#include <qmr41726/rtl/MessageText.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/controls/TControl.h>
#include <qmr41726/ui/forms/Messages.h>
#include <qmr41726/ui/forms/TForm.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>

using namespace qmr;

namespace {

constexpr int kCloseGraceMs = 5000;

/// Lets the event loop handle what a step caused: posted messages, repaints, deferred work.
void drainEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
}

/// A step as messages and timings show it: a type: step may hold megabytes of text.
std::string stepText(const KeyStep& step) {
    return nameExcerpt(step.source, kNameExcerptBytes, TextEncoding::Utf8);
}

QString stepLabel(std::size_t index, const KeyStep& step) {
    return QStringLiteral("step %1 \"%2\"").arg(index + 1).arg(QString::fromStdString(stepText(step)));
}

} // namespace

ScriptRunner::ScriptRunner(std::optional<std::vector<KeyStep>> script, const TDataSet* dataSet, CallLog& log)
    : m_script(std::move(script)), m_dataSet(dataSet), m_log(&log) {}

ScriptRunner::ScriptRunner(std::optional<std::vector<KeyStep>> script)
    : m_script(std::move(script)), m_dataSet(nullptr), m_log(nullptr) {}

ScriptRunner::~ScriptRunner() {
    if (!m_application)
        return;
    m_application->onModalShown = nullptr;
    m_application->onModalCloseAccepted = nullptr;
    m_application->onModalClosed = nullptr;
}

void ScriptRunner::attach(TApplication& application) {
    m_application = &application;
    application.onModalShown = [this](TForm& form) { screenShown(form); };
    application.onModalCloseAccepted = [this](TForm& form) { closeAccepted(form); };
    application.onModalClosed = [this](TForm& form) { screenClosed(form); };
}

void ScriptRunner::beginCall(const TDataSet* dataSet, CallLog& log) {
    ++m_generation;
    m_dataSet = dataSet;
    m_log = &log;
    m_input.reset();
    m_handle = 0;
    m_started = false;
    m_closed = false;
    m_exitPressed = false;
    if (m_waiting) {
        m_waiting = false;
        ++m_next;
    }
    m_screen = QJsonValue();
    m_probes = QJsonArray();
    m_timings = QJsonArray();
    m_probesDropped = 0;
    m_timingsDropped = 0;
    m_ranOut = false;
}

template <class F> void ScriptRunner::later(int ms, F work) {
    QTimer::singleShot(ms, this, [this, generation = m_generation, work = std::move(work)]() mutable {
        if (generation == m_generation)
            work();
    });
}

void ScriptRunner::screenShown(TForm& form) {
    if (m_started)
        return; // only the search screen itself runs the script, not a form it may open
    m_started = true;
    m_handle = form.handle();
    if (onScreenShown)
        onScreenShown(form);
    if (!m_script || m_halted)
        return;
    // Queued: the modal loop must be running before the first step's events arrive.
    later(0, [this] { runNext(); });
}

void ScriptRunner::halt() {
    m_halted = true;
}

TForm* ScriptRunner::openScreen() const {
    return screenOpen() ? liveForm() : nullptr;
}

void ScriptRunner::leaveScreen() {
    halt();
    const TForm* form = openScreen();
    if (!form || m_exitPressed)
        return;
    // A dialog over the screen (a message box of an interactive run) would hold the screen's
    // close until it is answered.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(window);
        if (dialog && dialog->isVisible() && dialog != form->widget()->window())
            dialog->reject();
    }
    if (!pressExitKey())
        PostMessageA(m_handle, WM_CLOSE, 0, 0);
    endScreenAfterGrace(
        QStringLiteral("the screen did not close on its Exit key within %1 ms; the host ended it"));
}

bool ScriptRunner::pressExitKey() {
    TForm* form = openScreen();
    if (!form || m_exitPressed)
        return false;
    auto* exitKey = dynamic_cast<TControl*>(form->findComponent("sbtSair"));
    if (!exitKey)
        return false;
    m_exitPressed = true;
    dispatchHandler([exitKey] { exitKey->click(); });
    return true;
}

void ScriptRunner::snapshotNow() {
    if (m_screen.isNull() && liveForm())
        m_screen = Snapshot::take(*liveForm(), m_dataSet);
}

/// A close the form accepts ends its modal loop only once control is back in that loop, so the
/// window still looks open for a moment; the runner must not take that moment for an open screen
/// (a script ending on Enter would be reported as having run out).
void ScriptRunner::closeAccepted(TForm& form) {
    if (form.handle() == m_handle)
        m_closed = true;
}

void ScriptRunner::screenClosed(TForm& form) {
    if (form.handle() != m_handle || !m_screen.isNull())
        return;
    m_screen = Snapshot::take(form, m_dataSet);
}

int ScriptRunner::skippedSteps() const noexcept {
    return m_script && !m_fatalError ? int(m_script->size() - m_next) : 0;
}

TForm* ScriptRunner::liveForm() const {
    return m_handle ? TForm::fromHandle(m_handle) : nullptr;
}

bool ScriptRunner::screenOpen() const {
    const TForm* form = liveForm();
    return !m_closed && form && form->modal();
}

/// Component names and column numbers are checked against the screen before the first step, so
/// that a misspelt name stops the run before anything has changed.
std::optional<QString> ScriptRunner::checkScript(const InputDriver& input) const {
    const auto& steps = *m_script;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        QString problem;
        if (steps[i].kind == StepKind::Touch)
            problem = input.touchProblem(steps[i].text);
        else if (steps[i].kind == StepKind::Title && steps[i].number >= input.gridColumnCount())
            problem = QStringLiteral("the grid has %1 columns, numbered from 0").arg(input.gridColumnCount());
        if (!problem.isEmpty())
            return QStringLiteral("key script: %1: %2").arg(stepLabel(i, steps[i]), problem);
    }
    return std::nullopt;
}

void ScriptRunner::runNext() {
    const auto& steps = *m_script;
    if (m_halted || !screenOpen())
        return;
    // One driver for the screen: a Shift held by one step stays held for the next.
    if (!m_input)
        m_input = std::make_unique<InputDriver>(*liveForm());
    InputDriver& input = *m_input;
    if (m_next == 0) {
        if ((m_fatalError = checkScript(input))) {
            closeScreen();
            return;
        }
    }
    if (m_next == steps.size()) {
        m_ranOut = true;
        closeScreen();
        return;
    }
    runStep(steps[m_next], input);
}

/// Asks the screen to close as the user's own keys would, with WM_CLOSE. A screen that does not
/// close within a grace period would leave the host waiting for ever: its modal loop is then
/// ended directly and the failure recorded.
void ScriptRunner::closeScreen() {
    PostMessageA(m_handle, WM_CLOSE, 0, 0);
    endScreenAfterGrace(
        QStringLiteral("the screen did not close on WM_CLOSE within %1 ms; the host ended it"));
}

void ScriptRunner::endScreenAfterGrace(const QString& what) {
    later(kCloseGraceMs, [this, what] {
        TForm* form = liveForm();
        if (!form || !form->modal())
            return;
        m_log->addError(what.arg(kCloseGraceMs));
        form->release();
    });
}

void ScriptRunner::runStep(const KeyStep& step, InputDriver& input) {
    QElapsedTimer clock;
    clock.start();
    if (step.kind == StepKind::Wait) {
        // The screen keeps running meanwhile; the step ends when the pause is over.
        m_waiting = true;
        later(step.number, [this, &step, clock]() mutable {
            m_waiting = false;
            stepDone(step, clock);
        });
        return;
    }
    try {
        act(step, input);
    } catch (const std::exception& error) {
        // A step that cannot act on the screen as it is now is reported; the script goes on.
        m_log->addError(QStringLiteral("key script: %1: %2")
                            .arg(stepLabel(m_next, step), QString::fromUtf8(error.what())));
    }
    drainEvents();
    stepDone(step, clock);
}

void ScriptRunner::act(const KeyStep& step, InputDriver& input) {
    // A script may hold millions of probes; past the bound they still run (a probe is a step like
    // any other) but are only counted, so the report stays a size a reader can take.
    if (step.kind == StepKind::Probe && m_probes.size() >= kMaxProbes)
        ++m_probesDropped;
    else if (step.kind == StepKind::Probe)
        m_probes.append(Snapshot::take(*liveForm(), m_dataSet));
    else
        input.perform(step);
}

void ScriptRunner::stepDone(const KeyStep& step, QElapsedTimer& clock) {
    if (m_timings.size() < kMaxTimings)
        m_timings.append(QJsonObject{{"step", QString::fromStdString(stepText(step))},
                                     {"ms", double(clock.nsecsElapsed()) / 1.0e6}});
    else
        ++m_timingsDropped;
    ++m_next;
    later(0, [this] { runNext(); });
}

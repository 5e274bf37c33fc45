#include "RepeatedCalls.h"

#include "CatalogueRefresher.h"
#include "ExitStatus.h"
#include "HostLog.h"
#include "JsonReport.h"
#include "LostDisplay.h"
#include "ScriptRunner.h"
#include "StopSignals.h"

#include <qmr41726/data/dataset/TDataSet.h>
#include <qmr41726/rtl/Exception.h>

#include <QJsonDocument>

#include <chrono>
#include <cstdlib>
#include <iostream>

using namespace qmr;

namespace {

/// How long a lost display waits for the stop signal sent with the compositor's.
constexpr std::chrono::milliseconds kStopAfterLostDisplay(1000);

} // namespace

RepeatedCalls::RepeatedCalls(TApplication& application, const HostOptions& options,
                             std::optional<std::vector<KeyStep>> script, Catalogue catalogue, ScreenCall call)
    : m_application(application), m_options(options), m_catalogue(std::move(catalogue)),
      m_call(std::move(call)), m_mode(script ? CallLog::Mode::Scripted : CallLog::Mode::Interactive),
      m_runner(std::make_unique<ScriptRunner>(std::move(script))) {
    m_runner->attach(application);
    m_runner->onScreenShown = [this](TForm& form) { screenShown(form); };
}

RepeatedCalls::~RepeatedCalls() = default;

int RepeatedCalls::run() {
    m_stop = std::make_unique<StopSignals>();
    m_stop->onStop = [this] { stopRequested(); };
    // systemd signals the compositor and the host one after the other: the host may see the
    // compositor gone a moment before its own signal arrives, so a lost display waits that moment.
    const LostDisplay lostDisplay(
        [this] { return m_stopping || m_stop->requestedWithin(kStopAfterLostDisplay); },
        [this] { finishAfterLostDisplay(); });
    if (m_options.refreshSeconds)
        m_refresher = std::make_unique<CatalogueRefresher>(
            m_options, std::chrono::seconds(*m_options.refreshSeconds), m_catalogue.source);
    int status = kExitCallReturned;
    const int calls = m_options.repeat.value_or(1);
    for (int call = 1; calls == 0 || call <= calls; ++call) {
        // A signal that came while no event loop ran (between calls) is seen here.
        if (m_stopping || m_stop->requested())
            break;
        m_callNumber = call;
        if (call > 1) {
            try {
                prepareNextCall();
            } catch (const Exception& error) {
                std::cerr << "qmr41726-host: the data set cannot be put back as it was loaded: "
                          << ansiToUtf8(error.Message()) << '\n';
                return kExitFailure;
            }
        }
        makeCall();
        if (const auto& problem = m_runner->fatalError()) {
            std::cerr << "qmr41726-host: " << problem->toStdString() << '\n';
            return kExitUsage;
        }
        if (m_runner->ranOut()) {
            status = kExitScriptRanOut;
            break;
        }
    }
    if (const int skipped = m_runner->skippedSteps(); skipped > 0)
        qCWarning(lcHost) << "the run ended before the script did;" << skipped << "step(s) not run";
    // After a stop the display may already be gone (systemd stops the compositor too): tearing
    // the connection down could then fail as a lost display. A load still running in the worker
    // would hold the exit until it ends. In both cases the process ends here, its reports written.
    if (m_stopping || m_stop->requested() || (m_refresher && m_refresher->busy())) {
        std::cout.flush();
        std::_Exit(status);
    }
    return status;
}

void RepeatedCalls::prepareNextCall() {
    if (m_refresher) {
        if (std::optional<Catalogue> fresh = m_refresher->takeReady())
            m_catalogue = std::move(*fresh);
    }
    m_catalogue.state.restore(*m_catalogue.dataSet);
}

void RepeatedCalls::makeCall() {
    CallLog log(m_application, m_mode);
    m_log = &log;
    m_runner->beginCall(m_catalogue.dataSet.get(), log);
    m_reopenMs.reset();
    m_lineWritten = false;
    m_inCall = true;
    const bool result = m_call(*m_catalogue.dataSet);
    m_sinceReturn.start();
    if (!m_runner->fatalError())
        writeLine(result);
    m_inCall = false;
    m_log = nullptr;
}

void RepeatedCalls::screenShown(TForm&) {
    if (m_sinceReturn.isValid())
        m_reopenMs = double(m_sinceReturn.nsecsElapsed()) / 1.0e6;
    if (m_stopping)
        m_runner->leaveScreen();
}

void RepeatedCalls::stopRequested() {
    qCInfo(lcHost) << "stop requested: the open screen closes as its Exit key closes it";
    m_stopping = true;
    m_runner->leaveScreen();
}

void RepeatedCalls::writeLine(bool result) {
    QJsonObject report =
        JsonReport::object(result, *m_catalogue.dataSet, *m_log, *m_runner, m_options.timings);
    report.insert("call", m_callNumber);
    report.insert("source", m_catalogue.source.json());
    if (m_options.timings)
        report.insert("reopenMs", m_reopenMs ? QJsonValue(*m_reopenMs) : QJsonValue(QJsonValue::Null));
    const QByteArray line = QJsonDocument(report).toJson(QJsonDocument::Compact) + '\n';
    std::cout.write(line.constData(), line.size());
    std::cout.flush();
    m_lineWritten = true;
}

void RepeatedCalls::finishAfterLostDisplay() {
    qCInfo(lcHost) << "the display connection ended during the stop; the run ends as stopped";
    if (m_inCall && !m_lineWritten && m_log) {
        // Only what needs no display: the Exit key's handler puts the search's filter back, and
        // the snapshot reads the screen's components.
        m_runner->pressExitKey();
        m_runner->snapshotNow();
        writeLine(false);
    }
    std::cout.flush();
    std::_Exit(kExitCallReturned);
}

#pragma once
// --repeat: the entry point called again and again on one loaded catalogue, each call starting as
// a first call would, one JSON line per call, until the count is reached, the script runs out or a
// stop signal comes.

#include "CallLog.h"
#include "Catalogue.h"
#include "CommandLine.h"
#include "KeyScript.h"

#include <QElapsedTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CatalogueRefresher;
class ScriptRunner;
class StopSignals;
namespace qmr {
class TApplication;
class TDataSet;
class TForm;
} // namespace qmr

/// The repeated-call loop. Before each call after the first, a catalogue --refresh loaded takes
/// the place of the one in use, and the data set is put back in the state it was loaded in. The
/// call's report goes to stdout as one compact JSON object on its own line, flushed at once.
class RepeatedCalls {
public:
    /// One call of the entry point on a data set; returns the call's result.
    using ScreenCall = std::function<bool(qmr::TDataSet&)>;

    RepeatedCalls(qmr::TApplication& application, const HostOptions& options,
                  std::optional<std::vector<KeyStep>> script, Catalogue catalogue, ScreenCall call);
    ~RepeatedCalls();
    RepeatedCalls(const RepeatedCalls&) = delete;
    RepeatedCalls& operator=(const RepeatedCalls&) = delete;

    /// Makes the calls; returns the exit status: 0 every call made or a stop, 3 the script ran out
    /// with a screen open, 2 a script that does not fit the screen, 1 a data set that cannot be put
    /// back (messages on stderr). After a stop, or with a load still running, the process ends here
    /// with that status instead (see run()'s end).
    int run();

private:
    void makeCall();
    void prepareNextCall();
    void screenShown(qmr::TForm& form);
    void stopRequested();
    /// The display went away during a stop: the open call's line is written now and the process
    /// ends with status 0. Never returns.
    [[noreturn]] void finishAfterLostDisplay();
    void writeLine(bool result);

    qmr::TApplication& m_application;
    const HostOptions& m_options;
    Catalogue m_catalogue;
    ScreenCall m_call;
    CallLog::Mode m_mode;
    std::unique_ptr<ScriptRunner> m_runner;
    std::unique_ptr<StopSignals> m_stop;
    std::unique_ptr<CatalogueRefresher> m_refresher;

    /// The call under way (from 1), whether its screen is up and its line written.
    int m_callNumber = 0;
    bool m_inCall = false;
    bool m_lineWritten = false;
    CallLog* m_log = nullptr;
    bool m_stopping = false;
    /// Runs from the last call's return; the next screen shown reads it.
    QElapsedTimer m_sinceReturn;
    std::optional<double> m_reopenMs;
};

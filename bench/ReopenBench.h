#pragma once
// Times what a repeated run of the host does between two calls of the screen: from one call's
// return, through putting the data set back as it was loaded, to the next screen shown.

#include <memory>
#include <string>
#include <vector>

namespace qmr {
class TColumnStore;
} // namespace qmr

/// What the reopen run measured.
struct ReopenResult {
    /// One sample per call after the first: the last call's return to this call's screen shown
    /// (the application's onModalShown, as qmr41726-host --repeat reports it in "reopenMs").
    std::vector<double> reopenMs;
    /// Errors the screen reported meanwhile.
    std::vector<std::string> errors;
};

/// Calls the entry point `calls` times over a client data set on `store` loaded with the base
/// filter on, as `qmr41726-host --filter ... --filtered --repeat` does: each call types a letter
/// and confirms a row (so the data set is left as a search leaves it), and the next call starts
/// once the data set has been put back in its loaded state (the host's LoadedState).
ReopenResult runReopenBench(const std::shared_ptr<const qmr::TColumnStore>& store, int calls);

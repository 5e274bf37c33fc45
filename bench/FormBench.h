#pragma once
// Times the search screen itself: set-up through PreparaPesquisa and whole keystrokes by touch.

#include "BenchOptions.h"

#include <memory>
#include <string>
#include <vector>

namespace qmr {
class TColumnStore;
} // namespace qmr

/// What the screen's run measured.
struct FormBenchResult {
    double setupMs = 0;
    /// PreparaPesquisa of a second screen on the same data set, unchanged since the first.
    double setupAgainMs = 0;
    /// One sample per touched key: press, release, handlers, filter, grid update and repaint; the
    /// keys of the typed sequence in their order, round after round.
    std::vector<double> touchMs;
    /// The data layer's part of each touch in `touchMs`: the filter calls that touch made, replayed
    /// on a twin data set that has been through the same calls (so its remembered results and
    /// index are the screen's data set's) and timed alone, right after the touch.
    std::vector<double> dataMs;
    /// Errors the screen's handlers reported while touched (each one also a note).
    std::vector<std::string> errors;
};

/// Runs the screen over a client data set on `store` with the base filter on.
FormBenchResult runFormBench(const std::shared_ptr<const qmr::TColumnStore>& store,
                             const BenchOptions& options);

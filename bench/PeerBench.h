#pragma once
// Times the peers the data layer is measured against: SQLite in memory, the plain loop and the Qt
// stack (model, proxy and view; see QtStackPeer.h).

#include "BenchOptions.h"
#include "BenchReport.h"
#include "RowGenerator.h"
#include "SearchSteps.h"

#include <vector>

/// Runs the typed sequence `options.rounds` times on each peer and fills the peers' figures of
/// `report.keys` (which hold one entry per step). Returns SQLite's results, the reference the
/// data layer's results are checked against; another peer's result that differs becomes a note.
/// The Qt stack runs only up to `options.qtMaxRows` rows, and needs a QApplication.
std::vector<StepResult> runPeerBench(const std::vector<BenchRow>& rows, const BenchOptions& options,
                                     BenchReport& report);

/// A note when `got` differs from `expected` for the step; empty when they agree.
std::string disagreement(const std::string& who, const SearchStep& step, const StepResult& got,
                         const StepResult& expected);

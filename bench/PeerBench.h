#pragma once
// Times the peers the data layer is measured against: SQLite in memory and the plain loop.

#include "bench/BenchReport.h"
#include "bench/RowGenerator.h"
#include "bench/SearchSteps.h"

#include <vector>

/// Runs the typed sequence `rounds` times on each peer and fills the SQLite and plain figures of
/// `report.keys` (which hold one entry per step). Returns SQLite's results, the reference the
/// data layer's results are checked against; a plain result that differs becomes a note.
std::vector<StepResult> runPeerBench(const std::vector<BenchRow>& rows, int rounds, BenchReport& report);

/// A note when `got` differs from `expected` for the step; empty when they agree.
std::string disagreement(const std::string& who, const SearchStep& step, const StepResult& got,
                         const StepResult& expected);

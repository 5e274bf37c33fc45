#pragma once
// Times this project's data layer on the same rows: load, set-up, memory, keystrokes, title click.

#include "BenchOptions.h"
#include "BenchReport.h"
#include "SearchSteps.h"

#include <string>
#include <vector>

/// Loads the CSV file at `csvPath` and fills the data layer's figures of `report` (the local copy's
/// included), checking each step's rows against `expected` (when not empty), then the screen's
/// end-to-end figures.
void runOursBench(const BenchOptions& options, const std::string& csvPath,
                  const std::vector<StepResult>& expected, BenchReport& report);

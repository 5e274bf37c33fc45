#pragma once
// Times this project's data layer on the same rows: load, set-up, memory, keystrokes, title click.

#include "bench/BenchOptions.h"
#include "bench/BenchReport.h"
#include "bench/SearchSteps.h"

#include <string>
#include <vector>

/// Loads the CSV file at `csvPath` and fills the data layer's figures of `report`, checking each
/// step's rows against `expected` (when not empty); runs the screen's end-to-end figures when the screen is
/// built. Returns false when this program was built without the data layer.
bool runOursBench(const BenchOptions& options, const std::string& csvPath,
                  const std::vector<StepResult>& expected, BenchReport& report);

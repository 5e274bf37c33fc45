#pragma once
// The command line of qmr41726-bench.

#include <string>

/// What to run and how to print it.
struct BenchOptions {
    int rows = 100000;
    bool json = false;
    /// Rounds of the typed sequence per peer; each figure is a median over them.
    int rounds = 7;
    /// Rounds of the typed sequence through the screen, for the 95th percentile.
    int touchRounds = 20;
    /// Leaves SQLite and the plain loop out (for profiling the data layer alone).
    bool skipPeers = false;
    /// The Qt stack peer runs only up to this many rows: its first sort and each keystroke grow
    /// with the rows, and at 10M its run alone would outlast the rest of the benchmark.
    int qtMaxRows = 1000000;
};

/// Reads `--rows N`, `--json`, `--rounds N`, `--touch-rounds N`, `--qt-max-rows N`,
/// `--skip-peers`. Raises std::invalid_argument
/// naming the argument that is unknown or lacks a positive number.
BenchOptions parseBenchOptions(int argc, char** argv);

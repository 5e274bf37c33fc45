#pragma once
// What one run of the benchmark measured, as one JSON object or a table for people.

#include <ostream>
#include <string>
#include <vector>

/// A figure that was not measured (the part it needs is not built, or it failed).
constexpr double kNotMeasured = -1;

/// Timings of one keystroke, medians over the rounds, in milliseconds.
struct KeyTiming {
    std::string key;
    std::string text;
    /// Client data set with the base filter, the screen's expression.
    double oursMs = kNotMeasured;
    /// The same keystroke in the first round only, where lazily built structures are paid for.
    double oursFirstMs = kNotMeasured;
    /// Plain data set, `NOME LIKE 'TEXT%'` without a base filter.
    double oursDataSetMs = kNotMeasured;
    /// The whole keystroke through the search screen: touch, handlers, filter, grid and repaint.
    double screenMs = kNotMeasured;
    /// The data layer's part of those same keystrokes (see FormBenchResult::dataMs).
    double screenDataMs = kNotMeasured;
    /// The screen's own share: each keystroke's whole time less its data layer's part, median.
    double screenShareMs = kNotMeasured;
    double sqliteMs = kNotMeasured;
    double plainMs = kNotMeasured;
    /// The Qt stack peer's whole keystroke, the view's update included (see QtStackPeer.h).
    double qtMs = kNotMeasured;
    /// Rows the step leaves (the SQLite peer's count).
    long long rowsFound = 0;
};

/// The whole run.
struct BenchReport {
    int rows = 0;
    double generateMs = kNotMeasured;
    double loadMs = kNotMeasured;
    double setupMs = kNotMeasured;
    /// The same set-up again on the same, unchanged data set (a second call of the screen).
    double setupAgainMs = kNotMeasured;
    /// "form" when measured through the screen's PreparaPesquisa, "data layer" otherwise.
    std::string setupVia;
    double memoryMb = kNotMeasured;
    double storeMb = kNotMeasured;
    double csvMb = kNotMeasured;
    double indexBytesPerRow = kNotMeasured;
    std::vector<KeyTiming> keys;
    double titleClickFirstMs = kNotMeasured;
    double titleClickBuiltMs = kNotMeasured;
    /// The Qt stack peer's model, proxy (first sort included) and first paint.
    double qtSetupMs = kNotMeasured;
    /// From a call's return to the next call's screen shown, the data set put back in its loaded
    /// state between (qmr41726-host --repeat), median over the calls after the first.
    double reopenMs = kNotMeasured;
    double endToEndP95Ms = kNotMeasured;
    double endToEndMedianMs = kNotMeasured;
    /// The screen's own share of a keystroke, median over every touch of the sequence.
    double screenShareMedianMs = kNotMeasured;
    int endToEndSamples = 0;
    /// The catalogue's local copy: writing it, opening it with the file in the page cache and
    /// dropped from it, its file's size, and the resident memory one open takes.
    double cacheWriteMs = kNotMeasured;
    double cacheOpenMs = kNotMeasured;
    double cacheOpenColdMs = kNotMeasured;
    double cacheMb = kNotMeasured;
    double cacheOpenMemoryMb = kNotMeasured;
    /// Disagreements between peers, failures and parts not measured, for the reader.
    std::vector<std::string> notes;
};

/// One JSON object; figures not measured are null.
std::string toJson(const BenchReport& report);
/// A table for people.
void printTable(const BenchReport& report, std::ostream& out);

#include "PeerBench.h"

#include "PlainPeer.h"
#include "QtStackPeer.h"
#include "SqlitePeer.h"
#include "Timing.h"

#include <algorithm>
#include <memory>

namespace {

/// Medians per step over `rounds` runs of the sequence; `results` gets the last round's results.
template <class Search>
std::vector<double> timeSequence(int rounds, Search&& search, std::vector<StepResult>& results) {
    const std::vector<SearchStep>& steps = searchSequence();
    std::vector<std::vector<double>> samples(steps.size());
    results.assign(steps.size(), {});
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < steps.size(); ++i)
            samples[i].push_back(timeMs([&] { results[i] = search(steps[i].text); }));
    }
    std::vector<double> medians;
    for (auto& stepSamples : samples)
        medians.push_back(median(stepSamples));
    return medians;
}

} // namespace

std::string disagreement(const std::string& who, const SearchStep& step, const StepResult& got,
                         const StepResult& expected) {
    if (got == expected)
        return {};
    return who + " after " + step.key + " ('" + step.text + "'): " + std::to_string(got.count) +
           " rows, first '" + got.firstNome + "'; SQLite: " + std::to_string(expected.count) +
           " rows, first '" + expected.firstNome + "'";
}

namespace {

/// The Qt stack's keystrokes, checked against SQLite's rows like the plain loop's.
void measureQtStack(const std::vector<BenchRow>& rows, int rounds, const std::vector<StepResult>& expected,
                    BenchReport& report) {
    const std::vector<SearchStep>& steps = searchSequence();
    std::unique_ptr<QtStackPeer> qt;
    report.qtSetupMs = timeMs([&] { qt = std::make_unique<QtStackPeer>(rows); });
    std::vector<StepResult> results;
    // At most kQtRounds: the median of three is enough for a peer whose keystroke takes a large
    // share of a second at 1M rows.
    constexpr int kQtRounds = 3;
    const auto medians = timeSequence(
        std::min(rounds, kQtRounds), [&](const std::string& text) { return qt->search(text); }, results);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        report.keys[i].qtMs = medians[i];
        if (auto note = disagreement("Qt stack", steps[i], results[i], expected[i]); !note.empty())
            report.notes.push_back(note);
    }
}

} // namespace

std::vector<StepResult> runPeerBench(const std::vector<BenchRow>& rows, const BenchOptions& options,
                                     BenchReport& report) {
    const int rounds = options.rounds;
    const std::vector<SearchStep>& steps = searchSequence();
    std::vector<StepResult> expected;
    {
        SqlitePeer sqlite(rows);
        const auto medians = timeSequence(
            rounds, [&](const std::string& text) { return sqlite.search(text); }, expected);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            report.keys[i].sqliteMs = medians[i];
            report.keys[i].rowsFound = expected[i].count;
        }
    }
    PlainPeer plain(rows);
    std::vector<StepResult> plainResults;
    const auto medians = timeSequence(
        rounds, [&](const std::string& text) { return plain.search(text); }, plainResults);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        report.keys[i].plainMs = medians[i];
        if (auto note = disagreement("plain peer", steps[i], plainResults[i], expected[i]); !note.empty())
            report.notes.push_back(note);
    }
    if (options.rows <= options.qtMaxRows)
        measureQtStack(rows, rounds, expected, report);
    else
        report.notes.push_back("Qt stack not measured above " + std::to_string(options.qtMaxRows) +
                               " rows (--qt-max-rows)");
    return expected;
}

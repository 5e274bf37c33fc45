#include "bench/PeerBench.h"

#include "bench/PlainPeer.h"
#include "bench/SqlitePeer.h"
#include "bench/Timing.h"

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

std::vector<StepResult> runPeerBench(const std::vector<BenchRow>& rows, int rounds, BenchReport& report) {
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
    return expected;
}

// qmr41726-bench: times the search of a generated customer list on this project's data layer,
// on SQLite in memory, on a plain loop and on the Qt stack (model, proxy, view), and the search screen end to
// end. See BenchOptions.h for the command line; --json prints one JSON object, otherwise a table.

#include "BenchOptions.h"
#include "BenchReport.h"
#include "CsvFile.h"
#include "OursBench.h"
#include "PeerBench.h"
#include "Timing.h"

#include <QApplication>

#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <unistd.h>

namespace {

BenchReport runBench(const BenchOptions& options) {
    BenchReport report;
    report.rows = options.rows;
    for (const SearchStep& step : searchSequence())
        report.keys.push_back({.key = step.key, .text = step.text});
    std::vector<BenchRow> rows;
    report.generateMs = timeMs([&] { rows = generateRows(options.rows); });
    const TemporaryFile csv("/tmp/qmr41726-bench-" + std::to_string(getpid()) + ".csv");
    report.csvMb = double(writeCsvFile(rows, csv.path())) / (1024.0 * 1024.0);
    const std::vector<StepResult> expected =
        options.skipPeers ? std::vector<StepResult>() : runPeerBench(rows, options, report);
    // The peers' copies go before the data layer is measured, so they do not crowd its memory.
    std::vector<BenchRow>().swap(rows);
    runOursBench(options, csv.path(), expected, report);
    return report;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const BenchOptions options = parseBenchOptions(argc, argv);
        // One application for the Qt stack peer and the search screen, on no real display.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        int qtArgc = 1;
        char* qtArgv[] = {argv[0], nullptr};
        const QApplication application(qtArgc, qtArgv);
        const BenchReport report = runBench(options);
        if (options.json)
            std::cout << toJson(report) << "\n";
        else
            printTable(report, std::cout);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "qmr41726-bench: " << error.what() << "\n";
        return 1;
    }
}

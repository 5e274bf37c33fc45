// qmr41726-soak: opens the search screen once over generated customer rows and touches its keys
// a million times (typing, Backspace, Clear, the row buttons), as a till does over months. It
// passes when the resident memory stays flat after the warm-up (growth at most 1%) and the last
// thousand keystrokes are no more than 10% slower, by median, than the first thousand.
//
//   qmr41726-soak [--rows N] [--keystrokes N] [--seconds S] [--seed N] [--memory-only]
//
// --seconds stops the keystrokes once that time has passed since the program started, set-up
// included (what ran is reported); --memory-only
// reports the times without judging them, for runs too short or too crowded for times to mean
// anything.

#include "KeyMix.h"
#include "Soak.h"

#include "CsvFile.h"
#include "RowGenerator.h"
#include "Timing.h"

#include <qmr41726/rtl/AnsiString.h>
#include <qmr41726/sql/SourceLoader.h>

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

struct Options {
    int rows = 1000000;
    bool memoryOnly = false;
    SoakOptions soak;
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--memory-only")
            options.memoryOnly = true;
        else if (option == "--rows" && hasValue)
            options.rows = std::stoi(argv[++i]);
        else if (option == "--keystrokes" && hasValue)
            options.soak.keystrokes = std::stoll(argv[++i]);
        else if (option == "--seconds" && hasValue)
            options.soak.deadline = std::chrono::steady_clock::now() +
                                    std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                        std::chrono::duration<double>(std::stod(argv[++i])));
        else if (option == "--seed" && hasValue)
            options.soak.seed = std::stoull(argv[++i]);
        else
            throw std::invalid_argument("unknown option or missing value: " + option);
    }
    if (options.rows < 1 || options.soak.keystrokes < 1)
        throw std::invalid_argument("--rows and --keystrokes must be positive");
    return options;
}

/// A thousand names of the rows, as the keyboard types them (capitals, no accents), cut to the
/// search column's size.
std::vector<std::string> typedNames(const std::vector<BenchRow>& rows) {
    std::vector<std::string> names;
    const std::size_t step = std::max<std::size_t>(1, rows.size() / 1000);
    for (std::size_t i = 0; i < rows.size(); i += step) {
        std::string name;
        for (char c : qmr::UpperCase(rows[i].nome))
            if (!keyFor(c).empty() && name.size() < std::size_t(kNomeSize))
                name += c;
        names.push_back(name);
    }
    return names;
}

double mib(std::size_t bytes) {
    return double(bytes) / (1024.0 * 1024.0);
}

/// Prints what ran and whether it passed.
bool report(const Options& options, const SoakResult& result) {
    const std::vector<double> ms(result.keystrokeMs.begin(), result.keystrokeMs.end());
    const std::size_t window = std::min<std::size_t>(1000, ms.size());
    const double first = median({ms.begin(), ms.begin() + long(window)});
    const double last = median({ms.end() - long(window), ms.end()});
    const double growth = result.residentWarm ? (double(result.residentEnd) - double(result.residentWarm)) /
                                                    double(result.residentWarm)
                                              : 0;
    std::printf("rows:               %d\n", options.rows);
    std::printf("keystrokes:         %lld of %lld%s\n", result.keystrokes, options.soak.keystrokes,
                result.stoppedByTime ? " (stopped by --seconds)" : "");
    std::printf("total time:         %.1f s (%.3f ms per keystroke)\n", result.totalSeconds,
                result.keystrokes ? result.totalSeconds * 1000 / double(result.keystrokes) : 0.0);
    std::printf("resident, open:     %.2f MiB\n", mib(result.residentOpen));
    std::printf("resident, warm:     %.2f MiB (after %lld keystrokes)\n", mib(result.residentWarm),
                result.warmUpKeystrokes);
    std::printf("resident, end:      %.2f MiB (growth %+.2f%%; peak %.2f MiB)\n", mib(result.residentEnd),
                growth * 100, mib(result.residentPeak));
    std::printf("median, first %zu: %.3f ms\n", window, first);
    std::printf("median, last %zu:  %.3f ms (ratio %.3f)\n", window, last, first > 0 ? last / first : 0.0);
    bool pass = true;
    if (result.residentWarm == 0) {
        std::printf("FAIL: stopped before the warm-up ended, so memory could not be judged\n");
        pass = false;
    } else if (growth > 0.01) {
        std::printf("FAIL: resident memory grew %.2f%% after the warm-up, more than 1%%\n", growth * 100);
        pass = false;
    }
    // The two thousands must not overlap for their medians to say anything.
    if (!options.memoryOnly && ms.size() < 2 * window)
        std::printf("times not judged: fewer than %zu keystrokes\n", 2 * window);
    else if (!options.memoryOnly && last > first * 1.10) {
        std::printf("FAIL: the last keystrokes are %.1f%% slower than the first, more than 10%%\n",
                    (last / first - 1) * 100);
        pass = false;
    }
    for (const std::string& error : result.errors) {
        std::printf("FAIL: %s\n", error.c_str());
        pass = false;
    }
    std::printf("%s\n", pass ? "PASS" : "FAIL");
    return pass;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const Options options = parseOptions(argc, argv);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        int qtArgc = 1;
        char* qtArgv[] = {argv[0], nullptr};
        const QApplication application(qtArgc, qtArgv);

        std::vector<std::string> names;
        const TemporaryFile csv("/tmp/qmr41726-soak-" + std::to_string(getpid()) + ".csv");
        {
            const std::vector<BenchRow> rows = generateRows(options.rows);
            names = typedNames(rows);
            writeCsvFile(rows, csv.path());
        }
        const qmr::LoadResult loaded = qmr::loadSource(csv.path());
        if (!loaded)
            throw std::runtime_error(loaded.error->message);
        const SoakResult result = runSoak(loaded.store, names, options.soak);
        return report(options, result) ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qmr41726-soak: %s\n", error.what());
        return 2;
    }
}

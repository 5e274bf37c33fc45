// qmr41726-filter-bench: what large filters cost a search over the generated customer list: the
// hostile ones (far past the bounds on the whole filter, which must be refused by name), filters
// at those bounds (how long their first run and a keystroke on them take, and the peak resident
// memory), and a keystroke on a large base filter against compiling the whole text afresh.
// `--rows N` (1000000 by default). Each case runs in a child process of its own, so that its peak
// resident memory is its own; one line a case.

#include "CsvFile.h"
#include "RowGenerator.h"
#include "ScreenSteps.h"
#include "SearchSteps.h"
#include "Timing.h"

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/data/filter/FilterText.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/sql/SourceLoader.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qmr;

namespace {

int rowsFromArguments(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--rows" && std::atoi(argv[2]) > 0)
        return std::atoi(argv[2]);
    if (argc != 1)
        throw std::invalid_argument("usage: qmr41726-filter-bench [--rows N]");
    return 1000000;
}

std::string joined(int count, const std::string& separator, const std::function<std::string(int)>& piece) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += separator;
        text += piece(i);
    }
    return text;
}

// `lists` IN lists of `items` codes each, ORed: the codes spread over the whole list.
std::string inLists(int lists, int items, int rows) {
    return joined(lists, " OR ", [&](int list) {
        return "CODIGO IN (" +
               joined(items, ", ",
                      [&](int item) {
                          return std::to_string(1 + (std::int64_t(list) * items + item) * 7919 % rows);
                      }) +
               ")";
    });
}

// `count` patterns the general matcher runs (three runs between '%', one '_'), ORed.
std::string generalLikes(int count) {
    return joined(count, " OR ", [](int i) {
        const char a = char('a' + i % 26), b = char('a' + i / 26 % 26);
        return std::string("NOME LIKE '%") + a + "%" + b + "%c_'";
    });
}

double peakResidentMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

std::string ms(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", value);
    return text;
}

// Runs `work` in a child process and prints its line: the time, or the refusal, and peak memory.
void runCase(const std::string& name, const std::function<std::string()>& work) {
    std::cout.flush();
    const pid_t child = fork();
    if (child == 0) {
        std::string line;
        try {
            line = work();
        } catch (const Exception& error) {
            line = "refused: " + error.Message().substr(0, 240);
        }
        std::printf("%-44s %s; peak RSS %.0f MB\n", name.c_str(), line.c_str(), peakResidentMb());
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::printf("%-44s failed (status %d)\n", name.c_str(), status);
}

// The filter first applied, then the keys of the search over it as the screen sends them: the
// time of the first run and the slowest key.
std::string searchOn(TClientDataSet& data, const std::string& base) {
    Stopwatch watch;
    try {
        applyFilterAsTheScreen(data, base);
    } catch (const Exception& error) {
        return "refused in " + ms(watch.elapsedMs()) + ": " + error.Message().substr(0, 240);
    }
    const double first = watch.elapsedMs();
    // The screen's way of joining the base filter with a key's term.
    const std::string joinable = filterNeedsParentheses(base) ? "(" + base + ")" : base;
    double slowest = 0;
    long long found = 0;
    for (const SearchStep& step : searchSequence()) {
        const std::string text =
            step.text.empty() ? base : clientFilterExpression(joinable, data.indexName(), step.text);
        const double key = timeMs([&] { found = applyFilterAsTheScreen(data, text).count; });
        slowest = std::max(slowest, key);
    }
    return "first run " + ms(first) + ", slowest key " + ms(slowest) + " (" + std::to_string(found) +
           " rows)";
}

std::string searchCase(const std::shared_ptr<const TColumnStore>& store, const std::string& base) {
    TClientDataSet data(store);
    prepareAsTheScreen(data);
    switchIndex(data, kSearchColumn);
    return std::to_string(base.size() / 1024) + " KiB: " + searchOn(data, base);
}

// A whole run of the filter over every row: a data set with no index and no result to build on.
std::string wholeRun(const std::shared_ptr<const TColumnStore>& store, const std::string& text) {
    TDataSet data(store);
    return "every row tested: " + ms(timeMs([&] { applyFilterAsTheScreen(data, text); }));
}

} // namespace

int main(int argc, char** argv) {
    try {
        const int rows = rowsFromArguments(argc, argv);
        const TemporaryFile csv("/tmp/qmr41726-filter-bench-" + std::to_string(getpid()) + ".csv");
        writeCsvFile(generateRows(rows), csv.path());
        LoadResult loaded = loadSource(csv.path());
        if (!loaded)
            throw std::runtime_error("loading the rows failed: " + loaded.error->message);
        const std::shared_ptr<const TColumnStore> store = loaded.store;
        std::printf("qmr41726-filter-bench: %d rows; rows loaded at peak RSS %.0f MB\n", rows,
                    peakResidentMb());

        runCase("300 IN lists of 10,000 items", [&] { return searchCase(store, inLists(300, 10000, rows)); });
        runCase("1,000 general LIKE patterns", [&] { return searchCase(store, generalLikes(1000)); });
        const std::string inBound = inLists(5, 10000, rows);
        runCase("IN items at the bound (5 x 10,000)", [&] { return searchCase(store, inBound); });
        runCase("  the same, every row", [&] { return wholeRun(store, inBound); });
        const std::string likeBound = generalLikes(16); // each counted as 64 bytes: 1024
        runCase("general LIKE patterns at the bound (16)", [&] { return searchCase(store, likeBound); });
        runCase("  the same, every row", [&] { return wholeRun(store, likeBound); });
        const std::string longLike = "NOME LIKE '%" + std::string(1022, '_') + "%'";
        runCase("one general LIKE pattern of 1,024 bytes", [&] { return wholeRun(store, longLike); });
        const std::string nodesBound =
            kBaseFilter + " AND (" +
            joined(1023, " OR ", [](int i) { return "CODIGO = " + std::to_string(i * 3); }) + ")";
        runCase("1,024 operators", [&] { return searchCase(store, nodesBound); });
        runCase("  the same, every row", [&] { return wholeRun(store, nodesBound); });
        // A key on a data set that has not compiled the base filter: its whole text is compiled,
        // as every key's was before a search kept its base filter compiled.
        runCase("a key on the IN base compiled whole", [&] {
            TClientDataSet data(store);
            prepareAsTheScreen(data);
            switchIndex(data, kSearchColumn);
            const std::string text = clientFilterExpression("(" + inBound + ")", kSearchColumn, "JOS");
            return ms(timeMs([&] { applyFilterAsTheScreen(data, text); }));
        });
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "qmr41726-filter-bench: " << error.what() << "\n";
        return 1;
    }
}

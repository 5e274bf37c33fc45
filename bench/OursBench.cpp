#include "OursBench.h"

#include "CopyBench.h"
#include "FormBench.h"
#include "PeerBench.h"
#include "ReopenBench.h"
#include "ScreenSteps.h"
#include "Timing.h"

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/sql/SourceLoader.h>

#include <memory>

using namespace qmr;

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
/// The column a title click switches to, and back.
const std::string kOtherIndex = "CIDADE";

/// Per-step samples of `rounds` runs of the sequence; `reset` runs untimed before each round.
template <class Reset, class Step>
std::vector<std::vector<double>> timeRounds(int rounds, Reset&& reset, Step&& step) {
    const std::vector<SearchStep>& steps = searchSequence();
    std::vector<std::vector<double>> samples(steps.size());
    for (int round = 0; round < rounds; ++round) {
        reset();
        for (std::size_t i = 0; i < steps.size(); ++i)
            samples[i].push_back(timeMs([&] { step(i, steps[i]); }));
    }
    return samples;
}

/// The client data set's keystrokes, checked against the SQLite peer's rows.
void measureClientKeys(TClientDataSet& client, int rounds, const std::vector<StepResult>& expected,
                       BenchReport& report) {
    std::vector<StepResult> results(searchSequence().size());
    const auto samples = timeRounds(
        rounds,
        [&] {
            runOtherSearches(client);
            applyFilterAsTheScreen(client, kBaseFilter);
        },
        [&](std::size_t i, const SearchStep& step) {
            results[i] = applyFilterAsTheScreen(
                client, clientFilterExpression(kBaseFilter, client.indexName(), step.text));
        });
    const std::vector<SearchStep>& steps = searchSequence();
    for (std::size_t i = 0; i < steps.size(); ++i) {
        report.keys[i].oursMs = median(samples[i]);
        report.keys[i].oursFirstMs = samples[i].front();
        if (i >= expected.size()) {
            report.keys[i].rowsFound = results[i].count;
            continue;
        }
        if (auto note = disagreement("client data set", steps[i], results[i], expected[i]); !note.empty())
            report.notes.push_back(note);
    }
}

/// A data set that is not a client data set: `NOME LIKE 'TEXT%'`, no base filter.
void measurePlainDataSetKeys(const std::shared_ptr<const TColumnStore>& store, int rounds,
                             BenchReport& report) {
    TDataSet dataSet(store);
    const auto samples = timeRounds(
        rounds,
        [&] {
            runOtherSearches(dataSet);
            applyFilterAsTheScreen(dataSet, "");
        },
        [&](std::size_t, const SearchStep& step) {
            applyFilterAsTheScreen(dataSet, plainFilterExpression("", kSearchColumn, step.text));
        });
    for (std::size_t i = 0; i < samples.size(); ++i)
        report.keys[i].oursDataSetMs = median(samples[i]);
}

/// A title click on another column: the first time that index is built, then it is reused.
void measureTitleClick(TClientDataSet& client, int rounds, BenchReport& report) {
    applyFilterAsTheScreen(client, kBaseFilter);
    report.titleClickFirstMs = timeMs([&] { switchIndex(client, kOtherIndex); });
    std::vector<double> samples;
    for (int round = 0; round < rounds; ++round) {
        samples.push_back(timeMs([&] { switchIndex(client, kSearchColumn); }));
        samples.push_back(timeMs([&] { switchIndex(client, kOtherIndex); }));
    }
    report.titleClickBuiltMs = median(samples);
    switchIndex(client, kSearchColumn);
}

/// Heap bytes one index on the search column takes, built on a data set of its own with no filter,
/// so that no filter result is counted with it.
double indexBytes(const std::shared_ptr<const TColumnStore>& store) {
    TClientDataSet dataSet(store);
    dataSet.indexDefs().add(kSearchColumn, kSearchColumn, 0);
    const std::size_t before = heapBytesInUse();
    dataSet.setIndexName(kSearchColumn);
    const std::size_t after = heapBytesInUse();
    return after > before ? double(after - before) : 0.0;
}

/// Set-up on the data layer alone, and what the loaded data set and one index hold.
void measureSetUp(const std::shared_ptr<const TColumnStore>& store, TClientDataSet& client,
                  BenchReport& report) {
    const double storeBytes = double(store->memoryBytes());
    const double oneIndex = indexBytes(store);
    report.storeMb = storeBytes / kMiB;
    report.memoryMb = (storeBytes + oneIndex) / kMiB;
    report.indexBytesPerRow = store->rowCount() > 0 ? oneIndex / store->rowCount() : 0.0;
    applyFilterAsTheScreen(client, kBaseFilter);
    report.setupMs = timeMs([&] { prepareAsTheScreen(client); });
    applyFilterAsTheScreen(client, kBaseFilter);
    report.setupAgainMs = timeMs([&] { prepareAsTheScreen(client); });
    report.setupVia = "data layer";
}

/// The screen's figures: they replace the data layer's set-up time.
void measureScreen(const std::shared_ptr<const TColumnStore>& store, const BenchOptions& options,
                   BenchReport& report) {
    const FormBenchResult form = runFormBench(store, options);
    report.setupMs = form.setupMs;
    report.setupAgainMs = form.setupAgainMs;
    report.setupVia = "form";
    report.endToEndP95Ms = percentile(form.touchMs, 95);
    report.endToEndMedianMs = median(form.touchMs);
    report.endToEndSamples = int(form.touchMs.size());
    // Touch i is key i % keys of its round; its share is its own time less its own data layer's.
    const std::size_t keys = report.keys.size();
    std::vector<std::vector<double>> whole(keys), data(keys), share(keys);
    std::vector<double> shares;
    for (std::size_t i = 0; i < form.touchMs.size(); ++i) {
        whole[i % keys].push_back(form.touchMs[i]);
        data[i % keys].push_back(form.dataMs[i]);
        share[i % keys].push_back(form.touchMs[i] - form.dataMs[i]);
        shares.push_back(form.touchMs[i] - form.dataMs[i]);
    }
    for (std::size_t i = 0; i < keys; ++i) {
        report.keys[i].screenMs = median(whole[i]);
        report.keys[i].screenDataMs = median(data[i]);
        report.keys[i].screenShareMs = median(share[i]);
    }
    report.screenShareMedianMs = median(shares);
    for (const std::string& error : form.errors)
        report.notes.push_back("screen: " + error);
    // The first call builds the search column's index; the calls after it are the till's.
    const ReopenResult reopen = runReopenBench(store, options.rounds + 1);
    if (!reopen.reopenMs.empty())
        report.reopenMs = median(reopen.reopenMs);
    for (const std::string& error : reopen.errors)
        report.notes.push_back("reopen: " + error);
}

} // namespace

void runOursBench(const BenchOptions& options, const std::string& csvPath,
                  const std::vector<StepResult>& expected, BenchReport& report) {
    LoadResult loaded;
    report.loadMs = timeMs([&] { loaded = loadSource(csvPath); });
    if (!loaded) {
        report.notes.push_back("data layer failed: " + loaded.error->message);
        return;
    }
    const std::shared_ptr<const TColumnStore> store = loaded.store;
    runCopyBench(store, report);
    try {
        TClientDataSet client(store);
        measureSetUp(store, client, report);
        measureClientKeys(client, options.rounds, expected, report);
        measurePlainDataSetKeys(store, options.rounds, report);
        measureTitleClick(client, options.rounds, report);
    } catch (const Exception& error) {
        report.notes.push_back("data layer failed: " + error.Message());
        return;
    }
    measureScreen(store, options, report);
}

#include "FormBench.h"

#include "KeyTouch.h"
#include "ScreenHost.h"
#include "ScreenSteps.h"
#include "SearchSteps.h"
#include "Timing.h"

#include "Cli_Qmr41726.h"
#include <qmr41726/ui/TApplication.h>

#include <QApplication>

#include <cstdlib>
#include <stdexcept>

using namespace qmr;

namespace {

/// One key of the typed sequence and the search text the screen should hold after it.
struct Touch {
    TControl* key;
    std::string text;
};

/// The on-screen key for each step: the letter keys by their names, Backspace, and the Clear
/// key, which sends Delete.
std::vector<Touch> typedSequence(TfrmPesquisa& form) {
    std::vector<Touch> touches;
    for (const SearchStep& step : searchSequence()) {
        const std::string name = step.key == "Backspace" ? "sbtBackSpace"
                                 : step.key == "Delete"  ? "sbtLimpar"
                                                         : "sbt" + step.key;
        auto* key = dynamic_cast<TControl*>(form.findComponent(name));
        if (!key)
            throw std::runtime_error("the search screen has no key " + name);
        touches.push_back({key, step.text});
    }
    return touches;
}

/// Touches the sequence `rounds` times, each touch timed until its repaint is done, then the same
/// filter calls on `twin`, timed: the data layer's part of that touch. A touch that leaves a
/// filter other than the screen's expression is an error: it would time the wrong work.
void typeSequence(TfrmPesquisa& form, TDataSet& dataSet, TClientDataSet& twin, int rounds,
                  FormBenchResult& result) {
    const std::vector<Touch> sequence = typedSequence(form);
    for (int round = 0; round < rounds; ++round) {
        for (const Touch& step : sequence) {
            result.touchMs.push_back(timeMs([&] {
                touchKey(*step.key);
                QCoreApplication::processEvents();
            }));
            result.dataMs.push_back(timeMs([&] { applyFilterAsTheScreen(twin, dataSet.filter()); }));
            const std::string wanted = clientFilterExpression(kBaseFilter, kSearchColumn, step.text);
            if (dataSet.filter() != wanted && result.errors.size() < 5)
                result.errors.push_back("after touching for '" + step.text + "' the filter is '" +
                                        dataSet.filter() + "', not '" + wanted + "'");
        }
    }
}

} // namespace

FormBenchResult runFormBench(const std::shared_ptr<const TColumnStore>& store, const BenchOptions& options) {
    FormBenchResult result;
    const ScreenHost host("qmr41726-bench",
                          [&result](std::string error) { result.errors.push_back(std::move(error)); });
    TClientDataSet dataSet(store);
    applyFilterAsTheScreen(dataSet, kBaseFilter);
    // Prepared as the screen prepares its data set, so each replayed keystroke finds the same
    // index and remembered results there.
    TClientDataSet twin(store);
    applyFilterAsTheScreen(twin, kBaseFilter);
    prepareAsTheScreen(twin);
    {
        TfrmPesquisa form;
        form.InicializaForm({Variant::fromPointer(&dataSet), Variant("N")});
        result.setupMs = timeMs([&] { form.PreparaPesquisa(&dataSet); });
        // The first paint of the whole screen is not a keystroke's work.
        form.widget()->show();
        QCoreApplication::processEvents();
        form.widget()->repaint();
        QCoreApplication::processEvents();
        typeSequence(form, dataSet, twin, options.touchRounds, result);
    }
    {
        // The screen called again on the same, unchanged data set, as a till does for every sale.
        applyFilterAsTheScreen(dataSet, kBaseFilter);
        TfrmPesquisa form;
        form.InicializaForm({Variant::fromPointer(&dataSet), Variant("N")});
        result.setupAgainMs = timeMs([&] { form.PreparaPesquisa(&dataSet); });
    }
    return result;
}

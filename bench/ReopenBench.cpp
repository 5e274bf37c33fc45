#include "ReopenBench.h"

#include "KeyTouch.h"
#include "LoadedState.h"
#include "ScreenHost.h"
#include "ScreenSteps.h"
#include "Timing.h"

#include "Cli_Qmr41726.h"
#include <qmr41726/ui/TApplication.h>

#include <QTimer>

using namespace qmr;

ReopenResult runReopenBench(const std::shared_ptr<const TColumnStore>& store, int calls) {
    ReopenResult result;
    const ScreenHost host("qmr41726-bench",
                          [&result](std::string error) { result.errors.push_back(std::move(error)); });
    TClientDataSet dataSet(store);
    applyFilterAsTheScreen(dataSet, kBaseFilter);
    const LoadedState loaded = LoadedState::of(dataSet);
    Stopwatch sinceReturn;
    bool returned = false;
    Application->onModalShown = [&](TForm& form) {
        if (returned)
            result.reopenMs.push_back(sinceReturn.elapsedMs());
        // A search as a sale makes it: a letter, then Enter on the first row found.
        QTimer::singleShot(0, form.widget(), [&form, &result] {
            auto* letter = dynamic_cast<TControl*>(form.findComponent("sbtM"));
            auto* enter = dynamic_cast<TControl*>(form.findComponent("sbtEnter"));
            auto* exit = dynamic_cast<TControl*>(form.findComponent("sbtSair"));
            if (!letter || !enter || !exit) {
                result.errors.push_back("the search screen has no key sbtM, sbtEnter or sbtSair");
                form.release();
                return;
            }
            touchKey(*letter);
            // No row found leaves Enter disabled: the call is left with Exit instead.
            touchKey(enter->enabled() ? *enter : *exit);
        });
    };
    const Variant params[] = {Variant::fromPointer(&dataSet), Variant("N")};
    OleVariant retorno;
    for (int call = 0; call < calls; ++call) {
        if (call > 0)
            loaded.restore(dataSet);
        CriaTelaQmr41726(params, 1, retorno);
        sinceReturn.restart();
        returned = true;
    }
    Application->onModalShown = nullptr;
    return result;
}

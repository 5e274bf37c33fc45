#include "Soak.h"

#include "KeyMix.h"

#include "KeyTouch.h"
#include "ScreenHost.h"
#include "SearchSteps.h"
#include "Timing.h"

#include "Cli_Qmr41726.h"
#include <qmr41726/ui/TApplication.h>

#include <QApplication>

#include <algorithm>
#include <fstream>
#include <malloc.h>
#include <map>
#include <stdexcept>
#include <unistd.h>

using namespace qmr;

namespace {

constexpr std::size_t kMaxErrors = 10;

/// The screen's keys by name, looked up once.
class Keys {
public:
    explicit Keys(TfrmPesquisa& form) : m_form(form) {}
    TControl& operator[](const std::string& name) {
        auto found = m_keys.find(name);
        if (found == m_keys.end()) {
            auto* key = dynamic_cast<TControl*>(m_form.findComponent(name));
            if (!key || !key->widget())
                throw std::runtime_error("the search screen has no key " + name);
            found = m_keys.emplace(name, key).first;
        }
        return *found->second;
    }

private:
    TfrmPesquisa& m_form;
    std::map<std::string, TControl*> m_keys;
};

/// The resident memory with the screen in one same state, so that samples compare: the search
/// cleared (the base filter alone, as when the screen opened) and the memory the allocator holds
/// free given back, which leaves what the screen keeps.
std::size_t settledResidentBytes(TControl& clearKey) {
    touchKey(clearKey);
    QCoreApplication::processEvents();
    malloc_trim(0);
    return residentBytes();
}

} // namespace

std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * std::size_t(sysconf(_SC_PAGESIZE));
}

SoakResult runSoak(const std::shared_ptr<const TColumnStore>& store, const std::vector<std::string>& names,
                   const SoakOptions& options) {
    SoakResult result;
    auto note = [&result](std::string error) {
        if (result.errors.size() < kMaxErrors)
            result.errors.push_back(std::move(error));
    };
    const ScreenHost host("qmr41726-soak", note);

    // Everything the run keeps is allocated before the first sample, so that only the screen's
    // own memory can grow.
    result.keystrokeMs.reserve(std::size_t(options.keystrokes));
    result.warmUpKeystrokes = std::min(options.keystrokes, kWarmUpKeystrokes);
    KeyMix mix(names, options.seed);
    {
        TClientDataSet dataSet(store);
        dataSet.setFilter(kBaseFilter);
        dataSet.setFiltered(true);
        TfrmPesquisa form;
        form.InicializaForm({Variant::fromPointer(&dataSet), Variant("N")});
        form.PreparaPesquisa(&dataSet);
        form.widget()->show();
        QCoreApplication::processEvents();
        Keys keys(form);
        result.residentOpen = settledResidentBytes(keys["sbtLimpar"]);
        const Stopwatch total;
        for (long long i = 0; i < options.keystrokes; ++i) {
            if (options.deadline && std::chrono::steady_clock::now() > *options.deadline) {
                result.stoppedByTime = true;
                break;
            }
            TControl& key = keys[mix.next(UpperCase(form.edtFiltro->text()))];
            result.keystrokeMs.push_back(float(timeMs([&] {
                touchKey(key);
                QCoreApplication::processEvents();
            })));
            const std::string wanted =
                clientFilterExpression(kBaseFilter, kSearchColumn, form.edtFiltro->text());
            if (dataSet.filter() != wanted)
                note("keystroke " + std::to_string(i + 1) + " left the filter '" + dataSet.filter() +
                     "', not '" + wanted + "'");
            const long long done = i + 1;
            if (done % kMemoryEvery == 0)
                result.residentPeak = std::max(result.residentPeak, residentBytes());
            if (done == result.warmUpKeystrokes)
                result.residentWarm = settledResidentBytes(keys["sbtLimpar"]);
        }
        result.keystrokes = (long long)result.keystrokeMs.size();
        result.totalSeconds = total.elapsedMs() / 1000;
        result.residentEnd = settledResidentBytes(keys["sbtLimpar"]);
    }
    return result;
}

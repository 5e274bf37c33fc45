// Random bytes as a CSV file: the loader either builds a store or raises EDatabaseError. Anything
// else (a crash, a sanitizer report, another exception) is a fault.

#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/rtl/Exception.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace qmr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const auto store = loadCsvText(text, "fuzz.csv");
        if (!store)
            std::abort();
    } catch (const EDatabaseError&) {
    }
    return 0;
}

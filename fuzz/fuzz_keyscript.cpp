// Random bytes as a key script: the parser either returns steps or raises KeyScriptError naming a
// step and a column that lie inside the script.

#include "KeyScript.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view script(reinterpret_cast<const char*>(data), size);
    try {
        for (const KeyStep& step : parseKeyScript(script)) {
            if (step.source.size() > size)
                std::abort();
        }
    } catch (const KeyScriptError& error) {
        if (error.step() < 1 || error.column() < 1 || error.column() > size + 1)
            std::abort();
    }
    return 0;
}

#include "BenchOptions.h"

#include <charconv>
#include <stdexcept>
#include <string_view>

namespace {

int positiveNumber(int argc, char** argv, int& i) {
    const std::string_view name = argv[i];
    if (++i >= argc)
        throw std::invalid_argument(std::string(name) + " needs a number");
    const std::string_view text = argv[i];
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value <= 0)
        throw std::invalid_argument(std::string(name) + ": '" + std::string(text) +
                                    "' is not a positive number");
    return value;
}

} // namespace

BenchOptions parseBenchOptions(int argc, char** argv) {
    BenchOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--json")
            options.json = true;
        else if (argument == "--skip-peers")
            options.skipPeers = true;
        else if (argument == "--rows")
            options.rows = positiveNumber(argc, argv, i);
        else if (argument == "--rounds")
            options.rounds = positiveNumber(argc, argv, i);
        else if (argument == "--qt-max-rows")
            options.qtMaxRows = positiveNumber(argc, argv, i);
        else if (argument == "--touch-rounds")
            options.touchRounds = positiveNumber(argc, argv, i);
        else
            throw std::invalid_argument("unknown argument '" + std::string(argument) + "'");
    }
    return options;
}

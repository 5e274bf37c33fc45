// Built instead of FormBench.cpp when the benchmark is configured without the search screen.
#include "bench/FormBench.h"

std::optional<FormBenchResult> runFormBench(const std::shared_ptr<const TColumnStore>&, const BenchOptions&) {
    return std::nullopt;
}

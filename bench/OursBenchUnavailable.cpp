// Built instead of OursBench.cpp when the benchmark is configured without the data layer.
#include "bench/OursBench.h"

bool runOursBench(const BenchOptions&, const std::string&, const std::vector<StepResult>&, BenchReport&) {
    return false;
}

#include "Timing.h"

#include <algorithm>
#include <cmath>
#include <malloc.h>

double median(std::vector<double> samples) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    if (samples.size() % 2 == 1)
        return samples[middle];
    return (samples[middle - 1] + samples[middle]) / 2;
}

double percentile(std::vector<double> samples, double p) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const double rank = std::ceil(p / 100.0 * double(samples.size()));
    const std::size_t index = std::size_t(std::clamp(rank, 1.0, double(samples.size()))) - 1;
    return samples[index];
}

std::size_t heapBytesInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

#pragma once
// Plain timing helpers: a steady clock, medians and percentiles, and the heap in use.

#include <chrono>
#include <cstddef>
#include <vector>

/// Measures elapsed wall time in milliseconds from construction or the last restart().
class Stopwatch {
public:
    Stopwatch() noexcept : m_start(std::chrono::steady_clock::now()) {}
    void restart() noexcept { m_start = std::chrono::steady_clock::now(); }
    double elapsedMs() const noexcept {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    std::chrono::steady_clock::time_point m_start;
};

/// The median of the samples (mean of the middle two for an even count); 0 for none.
double median(std::vector<double> samples);
/// The nearest-rank percentile (`p` from 0 to 100) of the samples; 0 for none.
double percentile(std::vector<double> samples, double p);

/// Bytes the allocator has handed out and not yet taken back (small and mapped blocks alike).
std::size_t heapBytesInUse();

/// Milliseconds `work` takes, timed once.
template <class F> double timeMs(F&& work) {
    Stopwatch watch;
    work();
    return watch.elapsedMs();
}

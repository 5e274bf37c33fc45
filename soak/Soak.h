#pragma once
// One opening of the real search screen driven through a long run of keystrokes, with the
// resident memory and the time of every keystroke recorded.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qmr {
class TColumnStore;
} // namespace qmr

struct SoakOptions {
    long long keystrokes = 1000000;
    /// The keystrokes stop early at this time, if one is set: a run that must end by a given
    /// time counts its set-up (generating and loading the rows) too.
    std::optional<std::chrono::steady_clock::time_point> deadline;
    std::uint64_t seed = 0x50A4ull;
};

/// What the run measured. The open, warm and end samples are taken with the search cleared and
/// the allocator's free memory given back; the peak is sampled every kMemoryEvery keystrokes as
/// it stands.
struct SoakResult {
    long long keystrokes = 0;
    bool stoppedByTime = false;
    double totalSeconds = 0;
    /// Resident bytes once the screen is open, once warmed up, at the end, and the most seen.
    std::size_t residentOpen = 0;
    /// 0 when the run stopped before the warm-up ended.
    std::size_t residentWarm = 0;
    std::size_t residentEnd = 0;
    std::size_t residentPeak = 0;
    long long warmUpKeystrokes = 0;
    /// Milliseconds of each keystroke: touch, handlers, filter, grid update and repaint.
    std::vector<float> keystrokeMs;
    /// Errors the screen reported, and keystrokes that left a filter other than the search's.
    std::vector<std::string> errors;
};

constexpr long long kMemoryEvery = 1000;
/// Keystrokes before the memory baseline: by then every kind of key has been touched many times
/// and every index order the search uses has been built.
constexpr long long kWarmUpKeystrokes = 1000;

/// Opens the screen over a client data set on `store` (NOME searched, the base filter on) and
/// touches `options.keystrokes` keys; `names` are what the typing aims at.
SoakResult runSoak(const std::shared_ptr<const qmr::TColumnStore>& store,
                   const std::vector<std::string>& names, const SoakOptions& options);

/// The process's resident memory in bytes, as the kernel counts it.
std::size_t residentBytes();

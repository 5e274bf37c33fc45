#pragma once
// Sharing one call's work with a second thread, finished before the call returns: the data layer
// uses both cores inside a call and leaves nothing running between events.

#include <future>

namespace qmr {

/// Runs work(0) here and, when `split`, work(1) on a second thread at the same time; returns when
/// both are done, with the first exception either raised.
template <class Work> void inParallel(bool split, Work&& work) {
    if (!split) {
        work(0);
        return;
    }
    std::future<void> other = std::async(std::launch::async, [&] { work(1); });
    try {
        work(0);
    } catch (...) {
        other.wait();
        throw;
    }
    other.get();
}

} // namespace qmr

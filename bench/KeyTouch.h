#pragma once
// A touch on one of the screen's keys, as the benchmark and the soak give it.

namespace qmr {
class TControl;
} // namespace qmr

/// A press and a release in the middle of the key, handed straight to its widget as a finger
/// gives them: the real event path of the key, without the window system's queue in between.
void touchKey(qmr::TControl& key);

#pragma once
// The keystrokes of the soak: what a cashier does at the search screen all day, drawn from a
// fixed seed so that every run presses the same keys.

#include "SplitMix64.h"

#include <string>
#include <vector>

/// Picks the next on-screen key: mostly typing towards a name that exists in the data (so that
/// searches narrow the way real ones do), with Backspace, Clear and the four row buttons mixed in.
class KeyMix {
public:
    /// `names` are the targets typing aims at (upper case, keyboard characters only).
    KeyMix(std::vector<std::string> names, std::uint64_t seed);

    /// The name of the key to touch next, given the search text the screen now shows.
    std::string next(const std::string& searchText);

private:
    std::string typeTowardsTarget(const std::string& text);

    std::vector<std::string> m_names;
    SplitMix64 m_random;
    std::string m_target;
};

/// The on-screen key that types `c` (a capital letter, a digit, a space or a sign on the
/// keyboard); empty for a character the keyboard lacks.
std::string keyFor(char c);

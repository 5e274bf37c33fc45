#pragma once
// The benchmark's own random numbers: a fixed seed gives the same rows on every run and machine.

#include <cstdint>

/// A small, fast, fully deterministic generator (SplitMix64).
class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed) noexcept : m_state(seed) {}

    /// The next 64 random bits.
    std::uint64_t next() noexcept {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    /// A number in [0, bound); bound must be positive.
    std::uint32_t below(std::uint32_t bound) noexcept { return std::uint32_t((next() >> 32) * bound >> 32); }

private:
    std::uint64_t m_state;
};

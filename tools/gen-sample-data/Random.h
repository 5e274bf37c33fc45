#pragma once
// A small pseudo-random generator with a fixed algorithm (SplitMix64), so that the sample data
// is byte-identical on every machine and library version.

#include <cstddef>
#include <cstdint>

/// Deterministic pseudo-random numbers from a seed.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    /// The next 64 random bits.
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    /// A number from 0 to `count` - 1 (the modulo bias is far below anything sample data shows).
    std::size_t below(std::size_t count) { return std::size_t(next() % count); }
    /// A number from `low` to `high`, both included.
    long long between(long long low, long long high) {
        return low + (long long)below(std::size_t(high - low + 1));
    }
    /// True with the given chance in percent.
    bool percent(int chance) { return below(100) < std::size_t(chance); }
    /// One element of a table.
    template <typename T, std::size_t N> const T& pick(const T (&table)[N]) { return table[below(N)]; }

private:
    std::uint64_t m_state;
};

#pragma once
// The checksum of a catalogue copy: XXH3-64, chosen for its speed. The reader checksums the whole
// file on every open, and XXH3 runs at memory speed (tens of GB/s with SSE2/AVX2) where CRC32C
// without a hardware instruction path of its own is several times slower, so a copy of ten million
// rows is checked in a small part of its open. Its 64 bits make an undetected random damage
// vanishingly unlikely; the checksum guards against damage, not against a forger.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace qmr {

/// A checksum taken over bytes given in pieces.
class CopyChecksum {
public:
    CopyChecksum();
    ~CopyChecksum();
    CopyChecksum(const CopyChecksum&) = delete;
    CopyChecksum& operator=(const CopyChecksum&) = delete;

    void add(const void* data, std::size_t size);
    std::uint64_t value() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

/// The checksum of bytes held whole.
std::uint64_t copyChecksum(const void* data, std::size_t size);

} // namespace qmr

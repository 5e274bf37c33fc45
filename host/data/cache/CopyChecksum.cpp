#include <qmr41726/data/cache/CopyChecksum.h>

// Inlined from the header: the copy needs one hash, and the runtime then carries no library of its
// own for it.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace qmr {

struct CopyChecksum::State {
    XXH3_state_t xxh3;
};

CopyChecksum::CopyChecksum() : m_state(std::make_unique<State>()) {
    XXH3_64bits_reset(&m_state->xxh3);
}

CopyChecksum::~CopyChecksum() = default;

void CopyChecksum::add(const void* data, std::size_t size) {
    XXH3_64bits_update(&m_state->xxh3, data, size);
}

std::uint64_t CopyChecksum::value() const {
    return XXH3_64bits_digest(&m_state->xxh3);
}

std::uint64_t copyChecksum(const void* data, std::size_t size) {
    return XXH3_64bits(data, size);
}

} // namespace qmr

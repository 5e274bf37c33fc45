#pragma once
// A catalogue copy's file mapped read-only: the columns of the store opened from it view these
// bytes, and the store keeps the mapping alive as long as it lives.
//
// The copy is only ever replaced by a rename, never rewritten in place, so a mapped copy keeps its
// bytes while a newer one is written. A program that truncated the file in place would take pages
// from under the mapping (SIGBUS on their next read); the copy's folder is the runtime's own.

#include <cstddef>
#include <memory>
#include <string>

namespace qmr {

class CopyMapping {
public:
    /// Maps the `size` bytes of the file open on `fd` (the descriptor may be closed afterwards).
    /// Raises CopyFileError naming `path` with the system's reason.
    static std::shared_ptr<const CopyMapping> map(int fd, std::size_t size, const std::string& path);
    ~CopyMapping();
    CopyMapping(const CopyMapping&) = delete;
    CopyMapping& operator=(const CopyMapping&) = delete;

    const char* data() const noexcept { return m_data; }
    std::size_t size() const noexcept { return m_size; }

private:
    CopyMapping(const char* data, std::size_t size) : m_data(data), m_size(size) {}

    const char* m_data;
    std::size_t m_size;
};

} // namespace qmr

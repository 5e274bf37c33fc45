#pragma once
// A file's bytes in memory, for loaders that read a whole file at once.

#include <cstddef>
#include <string>

namespace qmr {

/// A file mapped copy-on-write: its bytes may be changed in place (a CSV field unquoted where it
/// lies) while the file itself stays as it is. A file that cannot be mapped, such as a pipe, is
/// read into memory instead.
class MappedFile {
public:
    /// Maps the file at `path`; raises EDatabaseError naming it and the system's reason when the
    /// file cannot be read.
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    char* begin() noexcept { return m_data; }
    char* end() noexcept { return m_data + m_size; }

private:
    void readAll(int fd);

    std::string m_path;
    char* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_mapped = false;
    std::string m_read;
};

} // namespace qmr

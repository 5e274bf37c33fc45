#pragma once
// The files a catalogue copy is written through: a descriptor that writes all it is given or says
// why not, and the temporary file that takes the copy's place only once it is whole on disk.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace qmr {

/// A system call that failed: what was being done, the path and the system's reason
/// ("cannot write /var/lib/x/.copy.Ab12Cd (No space left on device)").
class CopyFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// An open file descriptor, closed when dropped.
class CopyFile {
public:
    /// Takes `fd`, opened on `path` (the path names it in errors).
    CopyFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
    ~CopyFile();
    CopyFile(const CopyFile&) = delete;
    CopyFile& operator=(const CopyFile&) = delete;

    /// Writes every byte at the file's position (short writes and interruptions resumed).
    void writeAll(const void* data, std::size_t size);
    /// Writes every byte at `offset`, leaving the position where it was.
    void writeAt(const void* data, std::size_t size, std::uint64_t offset);
    /// Puts the file's bytes on the disk (fsync).
    void sync();
    /// Closes the file, raising what close reports (a delayed write error on some file systems).
    void close();

private:
    [[noreturn]] void fail(const char* doing) const;

    int m_fd;
    std::string m_path;
};

/// A new file beside `path` (".NAME.XXXXXX" in its folder, so that the rename stays on one file
/// system), removed when dropped unless it has replaced `path`. A writer killed outright leaves its
/// file behind; the next one removes such files of the same copy first, so that a terminal whose
/// power is cut during writes does not fill its disk with them.
class TemporaryCopyFile {
public:
    explicit TemporaryCopyFile(const std::string& path);
    ~TemporaryCopyFile();
    TemporaryCopyFile(const TemporaryCopyFile&) = delete;
    TemporaryCopyFile& operator=(const TemporaryCopyFile&) = delete;

    CopyFile& file() noexcept { return *m_file; }
    /// Syncs and closes the file, renames it over `path` and syncs the folder, so that after a
    /// crash the folder holds either the previous copy or this one, whole.
    void replace(const std::string& path);
    /// Whether the rename has happened (a failure after it leaves the new copy in place).
    bool replaced() const noexcept { return m_replaced; }

private:
    std::string m_folder;
    std::string m_path;
    std::unique_ptr<CopyFile> m_file;
    bool m_replaced = false;
};

} // namespace qmr

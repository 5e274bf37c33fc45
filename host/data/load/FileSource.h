#pragma once
// A file's bytes for a loader that reads it front to back.

#include <qmr41726/data/load/CsvReader.h>

#include <cstdint>
#include <string>
#include <sys/stat.h>

namespace qmr {

/// A file read with read(2), never mapped: a mapped file that another program truncates (a
/// catalogue being rewritten) kills its reader with SIGBUS, where a read only comes up short. The
/// file's status when it was opened is kept, so that a change made while it is read is reported
/// rather than loaded. A pipe or other stream is read to its end, with nothing to compare.
class FileSource final : public ByteSource {
public:
    /// Opens the file at `path`; raises EDatabaseError naming it and the system's reason when it
    /// cannot be read (a directory included).
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::size_t read(char* into, std::size_t size) override;
    /// Raises EDatabaseError "<path> changed while it was read (...); nothing was loaded" when the
    /// file's size, modification time or identity (another file renamed over its name) differ from
    /// when it was opened, or when its end came before its size.
    void checkUnchanged() override;
    /// A regular file's size when it was opened; 0 for a pipe or other stream.
    std::uint64_t expectedBytes() const override;

private:
    std::string changeSinceOpened() const;

    std::string m_path;
    /// The path as messages show it.
    std::string m_name;
    int m_fd = -1;
    struct stat m_opened {};
    std::uint64_t m_bytesRead = 0;
    bool m_reachedEnd = false;
};

} // namespace qmr

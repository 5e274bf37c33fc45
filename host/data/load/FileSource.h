#pragma once
// A file's bytes for a loader that reads it front to back.

#include <qmr41726/data/load/CsvReader.h>

#include <cstdint>
#include <string>
#include <sys/stat.h>

namespace qmr {

/// Raises ELoadError unless `path` is a regular file: NotFound when nothing is there, NotRegularFile
/// for anything else, named for what it is (see FileKind.h); `name` is the path as messages show it.
void requireRegularFile(const std::string& path, const std::string& name);

/// A regular file read with read(2), never mapped: a mapped file that another program truncates (a
/// catalogue being rewritten) kills its reader with SIGBUS, where a read only comes up short. The
/// file's status when it was opened is kept, so that a change made while it is read is reported
/// rather than loaded.
class FileSource final : public ByteSource {
public:
    /// Opens the file at `path`. Raises ELoadError naming it: NotFound when nothing is there,
    /// NotRegularFile for what is not a regular file (named for what it is, see FileKind.h), and
    /// Unreadable with the system's reason when it cannot be read.
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::size_t read(char* into, std::size_t size) override;
    /// Raises ELoadError "<path> changed while it was read (...); nothing was loaded" when the
    /// file's size, modification time or identity (another file renamed over its name) differ from
    /// when it was opened, or when its end came before its size.
    void checkUnchanged() override;
    /// The file's size when it was opened.
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

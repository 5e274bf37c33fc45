#pragma once
// A package's library file, opened once: what the loader checks is read from this open file, and
// what it loads is the same file, by the absolute path the opening resolved.

#include <optional>
#include <string>

namespace qmr {

/// One open package file. A name without a folder is a file of the current folder, as for any
/// other file the host opens, never one the dynamic loader would find on its search path.
class PackageFile {
public:
    /// Opens `path`; EPackageError naming it and the system's reason when it cannot be read.
    explicit PackageFile(const std::string& path);
    ~PackageFile();
    PackageFile(const PackageFile&) = delete;
    PackageFile& operator=(const PackageFile&) = delete;

    /// The value of the exported int `name` as the file holds it, read without running any of
    /// its code; nothing when it exports no such object. EPackageError when the file is no ELF
    /// shared object of this machine.
    std::optional<int> exportedInt(const char* name) const;

    /// The absolute path of the open file, resolved when it was opened, for the loader to load.
    const std::string& resolvedPath() const noexcept { return m_resolved; }

private:
    std::string m_path;
    std::string m_resolved;
    int m_fd = -1;
};

} // namespace qmr

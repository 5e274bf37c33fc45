#include <qmr41726/data/cache/CopyFile.h>

#include <qmr41726/rtl/MessageText.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace qmr {

namespace {

std::string shown(const std::string& path) {
    return nameExcerpt(path, kPathExcerptBytes, TextEncoding::Utf8);
}

[[noreturn]] void failOn(const char* doing, const std::string& path, int error) {
    throw CopyFileError(std::string(doing) + " " + shown(path) + " (" + std::strerror(error) + ")");
}

/// Calls `write(from, left, done)` until every byte is written, resuming after a short write or an
/// interruption; false, with errno set, when a call fails.
template <class Write> bool writeFully(const void* data, std::size_t size, Write&& write) {
    const char* bytes = static_cast<const char*>(data);
    std::uint64_t done = 0;
    while (done < size) {
        const ssize_t written = write(bytes + done, std::size_t(size - done), done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        done += std::uint64_t(written);
    }
    return true;
}

/// Removes the files of `folder` named as `pattern` with its X's filled in: the temporary files of
/// writers of the same copy that were killed. Whatever cannot be removed stays; it is only space.
void removeLeftovers(const std::string& folder, const std::string& pattern) {
    const std::string_view stem = std::string_view(pattern).substr(0, pattern.size() - 6);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == pattern.size() && name.starts_with(stem) && entry.is_regular_file(error))
            std::filesystem::remove(entry.path(), error);
    }
}

} // namespace

CopyFile::~CopyFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void CopyFile::fail(const char* doing) const {
    failOn(doing, m_path, errno);
}

void CopyFile::writeAll(const void* data, std::size_t size) {
    if (!writeFully(data, size,
                    [&](const char* at, std::size_t left, std::uint64_t) { return ::write(m_fd, at, left); }))
        fail("cannot write");
}

void CopyFile::writeAt(const void* data, std::size_t size, std::uint64_t offset) {
    if (!writeFully(data, size, [&](const char* at, std::size_t left, std::uint64_t done) {
            return ::pwrite(m_fd, at, left, off_t(offset + done));
        }))
        fail("cannot write");
}

void CopyFile::sync() {
    if (::fsync(m_fd) != 0)
        fail("cannot sync");
}

void CopyFile::close() {
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        fail("cannot close");
}

TemporaryCopyFile::TemporaryCopyFile(const std::string& path) {
    const std::filesystem::path target(path);
    m_folder = target.has_parent_path() ? target.parent_path().string() : std::string(".");
    // Hidden and marked as unfinished by its name; mkostemp fills in the X's.
    std::string name(1, '.');
    name += target.filename().string();
    name += ".XXXXXX";
    removeLeftovers(m_folder, name);
    std::string pattern = (std::filesystem::path(m_folder) / name).string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        failOn("cannot create a temporary file in", m_folder, errno);
    m_path = pattern;
    m_file = std::make_unique<CopyFile>(fd, m_path);
    // mkostemp makes the file private to its owner; a copy is as readable as any data file.
    if (::fchmod(fd, 0644) != 0)
        failOn("cannot set the permissions of", m_path, errno);
}

TemporaryCopyFile::~TemporaryCopyFile() {
    m_file.reset();
    if (!m_replaced)
        ::unlink(m_path.c_str());
}

void TemporaryCopyFile::replace(const std::string& path) {
    m_file->sync();
    m_file->close();
    if (::rename(m_path.c_str(), path.c_str()) != 0)
        failOn("cannot rename the temporary file over", path, errno);
    m_replaced = true;
    const int folder = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        failOn("cannot open the folder", m_folder, errno);
    const int synced = ::fsync(folder);
    const int error = errno;
    ::close(folder);
    if (synced != 0)
        failOn("cannot sync the folder", m_folder, error);
}

} // namespace qmr

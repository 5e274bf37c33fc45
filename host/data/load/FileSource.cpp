#include <qmr41726/data/load/FileSource.h>

#include <qmr41726/data/load/ELoadError.h>
#include <qmr41726/data/load/FileKind.h>
#include <qmr41726/rtl/MessageText.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace qmr {

namespace {

[[noreturn]] void throwUnreadable(const std::string& path, int error) {
    throw ELoadError(LoadErrorKind::Unreadable,
                     path + ": cannot read the file (" + std::strerror(error) + ")");
}

bool sameTime(const timespec& a, const timespec& b) noexcept {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

void requireRegularFile(const std::string& path, const std::string& name) {
    if (const FileKindProblem problem = fileKindProblem(path))
        throw ELoadError(problem.kind == FileKindProblem::Kind::Missing ? LoadErrorKind::NotFound
                                                                        : LoadErrorKind::NotRegularFile,
                         problem.about(name));
}

FileSource::FileSource(const std::string& path)
    : m_path(path), m_name(nameExcerpt(path, kPathExcerptBytes, TextEncoding::Utf8)) {
    requireRegularFile(path, m_name);
    // Without blocking, and checked again once open: a FIFO put in the file's place since the
    // look above would otherwise hold the load until something wrote to it.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0)
        throwUnreadable(m_name, errno);
    const int error = ::fstat(m_fd, &m_opened) != 0 ? errno : 0;
    if (error != 0 || !S_ISREG(m_opened.st_mode)) {
        ::close(m_fd);
        if (error != 0)
            throwUnreadable(m_name, error);
        throw ELoadError(LoadErrorKind::NotRegularFile, m_name + " is not a regular file");
    }
    // The loaders read front to back, once.
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

FileSource::~FileSource() {
    ::close(m_fd);
}

std::size_t FileSource::read(char* into, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(m_fd, into, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throwUnreadable(m_name, errno);
        m_bytesRead += std::uint64_t(got);
        m_reachedEnd = got == 0;
        return std::size_t(got);
    }
}

// What changed since the file was opened, in words; empty when nothing did.
std::string FileSource::changeSinceOpened() const {
    struct stat now {};
    if (::fstat(m_fd, &now) != 0)
        throwUnreadable(m_name, errno);
    if (now.st_size != m_opened.st_size)
        return "its size went from " + std::to_string(m_opened.st_size) + " to " +
               std::to_string(now.st_size) + " bytes";
    if (m_reachedEnd && m_bytesRead != std::uint64_t(m_opened.st_size))
        return "its end came after " + std::to_string(m_bytesRead) + " of its " +
               std::to_string(m_opened.st_size) + " bytes";
    if (!sameTime(now.st_mtim, m_opened.st_mtim))
        return "it was written to";
    struct stat named {};
    if (::stat(m_path.c_str(), &named) != 0)
        return "it was removed";
    if (named.st_ino != m_opened.st_ino || named.st_dev != m_opened.st_dev)
        return "another file took its name";
    return {};
}

void FileSource::checkUnchanged() {
    if (const std::string change = changeSinceOpened(); !change.empty())
        throw ELoadError(LoadErrorKind::Unreadable,
                         m_name + " changed while it was read (" + change + "); nothing was loaded");
}

std::uint64_t FileSource::expectedBytes() const {
    return std::uint64_t(m_opened.st_size);
}

} // namespace qmr

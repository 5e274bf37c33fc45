#include "host/data/MappedFile.h"

#include "host/rtl/Exception.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmr {

namespace {

[[noreturn]] void throwUnreadable(const std::string& path, int error) {
    throw EDatabaseError(path + ": cannot read the file (" + std::strerror(error) + ")");
}

/// Closes a file descriptor on every path out of the constructor.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() { ::close(fd); }
};

} // namespace

MappedFile::MappedFile(const std::string& path) : m_path(path) {
    const FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        throwUnreadable(path, errno);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        throwUnreadable(path, errno);
    if (S_ISDIR(info.st_mode))
        throwUnreadable(path, EISDIR);
    if (S_ISREG(info.st_mode) && info.st_size > 0) {
        void* map =
            ::mmap(nullptr, std::size_t(info.st_size), PROT_READ | PROT_WRITE, MAP_PRIVATE, file.fd, 0);
        if (map != MAP_FAILED) {
            // The loaders read front to back, once.
            ::madvise(map, std::size_t(info.st_size), MADV_SEQUENTIAL | MADV_WILLNEED);
            m_data = static_cast<char*>(map);
            m_size = std::size_t(info.st_size);
            m_mapped = true;
            return;
        }
    }
    readAll(file.fd);
}

MappedFile::~MappedFile() {
    if (m_mapped)
        ::munmap(m_data, m_size);
}

// Reads what cannot be mapped (an empty file, a pipe, a special file) until its end.
void MappedFile::readAll(int fd) {
    char chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throwUnreadable(m_path, errno);
        if (got == 0)
            break;
        m_read.append(chunk, std::size_t(got));
    }
    m_data = m_read.data();
    m_size = m_read.size();
}

} // namespace qmr

#include <qmr41726/data/cache/CopyMapping.h>

#include <qmr41726/data/cache/CopyFile.h>
#include <qmr41726/rtl/MessageText.h>

#include <cerrno>
#include <cstring>
#include <sys/mman.h>

namespace qmr {

std::shared_ptr<const CopyMapping> CopyMapping::map(int fd, std::size_t size, const std::string& path) {
    // Every page is read on open (the checksum), so the mapping's page tables are filled at once
    // rather than one fault a page.
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
    if (data == MAP_FAILED)
        throw CopyFileError("cannot map " + nameExcerpt(path, kPathExcerptBytes, TextEncoding::Utf8) + " (" +
                            std::strerror(errno) + ")");
    return std::shared_ptr<const CopyMapping>(new CopyMapping(static_cast<const char*>(data), size));
}

CopyMapping::~CopyMapping() {
    ::munmap(const_cast<char*>(m_data), m_size);
}

} // namespace qmr

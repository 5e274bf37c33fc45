#include <qmr41726/ui/PackageFile.h>

#include <qmr41726/ui/TPackage.h>

#include <qmr41726/rtl/MessageText.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include <elf.h>
#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <unistd.h>

namespace qmr {

namespace {

struct ElfCloser {
    void operator()(Elf* elf) const { elf_end(elf); }
};

/// The section header of `section`, or nothing when libelf cannot read it.
std::optional<GElf_Shdr> header(Elf_Scn* section) {
    GElf_Shdr shdr;
    if (!section || !gelf_getshdr(section, &shdr))
        return std::nullopt;
    return shdr;
}

/// Refuses a file that is not a shared object this process could load: not ELF, another word
/// size or byte order, another machine, or not a shared object at all.
void checkLoadable(Elf* elf, const std::string& path) {
    const auto refuse = [&](const std::string& why) {
        throw EPackageError("Cannot load package " + path + ": " + why);
    };
    if (elf_kind(elf) != ELF_K_ELF)
        refuse("it is not an ELF file");
    GElf_Ehdr ehdr;
    if (!gelf_getehdr(elf, &ehdr))
        refuse(std::string("its ELF header is damaged (") + elf_errmsg(-1) + ")");
    const bool ours =
        ehdr.e_ident[EI_CLASS] == (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32) &&
        ehdr.e_ident[EI_DATA] == (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB);
#if defined(__x86_64__)
    constexpr int kMachine = EM_X86_64;
#elif defined(__aarch64__)
    constexpr int kMachine = EM_AARCH64;
#elif defined(__i386__)
    constexpr int kMachine = EM_386;
#elif defined(__arm__)
    constexpr int kMachine = EM_ARM;
#else
    const int kMachine = ehdr.e_machine;
#endif
    if (!ours || ehdr.e_machine != kMachine)
        refuse("it is built for another machine");
    if (ehdr.e_type != ET_DYN)
        refuse("it is not a shared library");
}

/// The package's path as messages show it.
std::string shown(const std::string& path) {
    return nameExcerpt(path, kPathExcerptBytes, TextEncoding::Utf8);
}

} // namespace

PackageFile::PackageFile(const std::string& path) : m_path(path) {
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        throw EPackageError("Cannot load package " + shown(path) + ": " + std::strerror(errno));
    // The path the open resolved (folders, links and a name without a folder alike), read back
    // from the open file itself.
    char resolved[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(m_fd);
    const ssize_t length = ::readlink(link.c_str(), resolved, sizeof resolved - 1);
    if (length <= 0 || resolved[0] != '/') {
        const int error = errno;
        ::close(m_fd);
        throw EPackageError("Cannot load package " + shown(path) +
                            ": its absolute path cannot be read from " + link + " (" + std::strerror(error) +
                            ")");
    }
    m_resolved.assign(resolved, std::size_t(length));
}

PackageFile::~PackageFile() {
    ::close(m_fd);
}

std::optional<int> PackageFile::exportedInt(const char* name) const {
    elf_version(EV_CURRENT);
    const std::unique_ptr<Elf, ElfCloser> elf(elf_begin(m_fd, ELF_C_READ_MMAP, nullptr));
    if (!elf)
        throw EPackageError("Cannot load package " + shown(m_path) + ": " + elf_errmsg(-1));
    checkLoadable(elf.get(), shown(m_path));
    for (Elf_Scn* section = elf_nextscn(elf.get(), nullptr); section;
         section = elf_nextscn(elf.get(), section)) {
        const std::optional<GElf_Shdr> symbols = header(section);
        if (!symbols || symbols->sh_type != SHT_DYNSYM || symbols->sh_entsize == 0)
            continue;
        Elf_Data* table = elf_getdata(section, nullptr);
        for (std::size_t i = 0; table && i < symbols->sh_size / symbols->sh_entsize; ++i) {
            GElf_Sym symbol;
            if (!gelf_getsym(table, int(i), &symbol) || symbol.st_shndx == SHN_UNDEF ||
                GELF_ST_TYPE(symbol.st_info) != STT_OBJECT)
                continue;
            const char* symbolName = elf_strptr(elf.get(), symbols->sh_link, symbol.st_name);
            if (!symbolName || std::strcmp(symbolName, name) != 0)
                continue;
            // The object's bytes, where its section lies in the file.
            Elf_Scn* home = elf_getscn(elf.get(), symbol.st_shndx);
            const std::optional<GElf_Shdr> homeHeader = header(home);
            Elf_Data* bytes = home ? elf_rawdata(home, nullptr) : nullptr;
            if (symbol.st_size != sizeof(int) || !homeHeader || homeHeader->sh_type == SHT_NOBITS || !bytes ||
                symbol.st_value < homeHeader->sh_addr ||
                symbol.st_value - homeHeader->sh_addr + sizeof(int) > bytes->d_size)
                throw EPackageError("Package " + shown(m_path) + " has a damaged " + name + " record");
            int value = 0;
            std::memcpy(&value,
                        static_cast<const char*>(bytes->d_buf) + (symbol.st_value - homeHeader->sh_addr),
                        sizeof value);
            return value;
        }
    }
    return std::nullopt;
}

} // namespace qmr

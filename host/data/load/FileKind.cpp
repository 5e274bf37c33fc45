#include <qmr41726/data/load/FileKind.h>

#include <filesystem>
#include <system_error>

namespace qmr {

namespace fs = std::filesystem;

namespace {

bool startsInSystemFolder(const fs::path& path) {
    const std::string text = path.generic_string();
    return text.rfind("/dev/", 0) == 0 || text.rfind("/proc/", 0) == 0;
}

/// Both the path as written and where its links lead: /dev/stdout, /dev/fd/1 and /proc/self/fd/1
/// resolve to whatever the descriptor is open on, a regular file when output is redirected to one.
bool underSystemFolder(const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error)
        return startsInSystemFolder(path);
    if (startsInSystemFolder(absolute.lexically_normal()))
        return true;
    const fs::path real = fs::weakly_canonical(absolute, error);
    return startsInSystemFolder(error ? path : real);
}

FileKindProblem problem(FileKindProblem::Kind kind, std::string words) {
    return {kind, std::move(words)};
}

} // namespace

std::string FileKindProblem::about(std::string_view name) const {
    const bool isPhrase = kind != Kind::Missing && kind != Kind::Unexaminable;
    return std::string(name) + (isPhrase ? " " : ": ") + words;
}

FileKindProblem fileKindProblem(const std::string& path) {
    using Kind = FileKindProblem::Kind;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error == std::errc::too_many_symbolic_link_levels)
        return problem(Kind::LinkLoop, "is a symbolic link loop");
    if (underSystemFolder(path) && status.type() != fs::file_type::not_found)
        return problem(Kind::SystemFile, "is a special file of the system");
    switch (status.type()) {
    case fs::file_type::regular:
        return {};
    case fs::file_type::not_found:
        return problem(Kind::Missing, "no such file");
    case fs::file_type::directory:
        return problem(Kind::Directory, "is a directory");
    case fs::file_type::fifo:
        return problem(Kind::Fifo, "is a FIFO (named pipe)");
    case fs::file_type::block:
    case fs::file_type::character:
        return problem(Kind::Device, "is a device");
    case fs::file_type::socket:
        return problem(Kind::Socket, "is a socket");
    default:
        if (error)
            return problem(Kind::Unexaminable, "cannot be examined (" + error.message() + ")");
        return problem(Kind::Other, "is not a regular file");
    }
}

} // namespace qmr

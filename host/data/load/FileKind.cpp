#include <qmr41726/data/load/FileKind.h>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool underSystemFolder(const fs::path& path) {
    std::error_code error;
    const fs::path real = fs::weakly_canonical(fs::absolute(path, error), error);
    const std::string text = (error ? path : real).generic_string();
    return text.rfind("/dev/", 0) == 0 || text.rfind("/proc/", 0) == 0;
}

} // namespace

std::string notRegularFile(const std::string& path, bool mayBeMissing) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error == std::errc::too_many_symbolic_link_levels)
        return "is a symbolic link loop";
    if (underSystemFolder(path) && status.type() != fs::file_type::not_found)
        return "is a special file of the system";
    switch (status.type()) {
    case fs::file_type::regular:
        return {};
    case fs::file_type::not_found:
        return mayBeMissing ? std::string() : "no such file";
    case fs::file_type::directory:
        return "is a directory";
    case fs::file_type::fifo:
        return "is a FIFO (named pipe)";
    case fs::file_type::block:
    case fs::file_type::character:
        return "is a device";
    case fs::file_type::socket:
        return "is a socket";
    default:
        return error ? "cannot be examined (" + error.message() + ")" : "is not a regular file";
    }
}

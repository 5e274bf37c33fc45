#include <qmr41726/sql/DatabasePassword.h>

#include <qmr41726/data/load/ELoadError.h>
#include <qmr41726/rtl/MessageText.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace qmr {

namespace {

/// A password is a line; a larger file is no password file.
constexpr std::uintmax_t kMaxPasswordBytes = 4096;

[[noreturn]] void refuseFile(const std::string& path, const std::string& why) {
    throw ELoadError(LoadErrorKind::Refused, "the password file " +
                                                 nameExcerpt(path, kPathExcerptBytes, TextEncoding::Utf8) +
                                                 ": " + why);
}

std::string readPasswordFile(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error)
        refuseFile(path, error.message());
    if (!std::filesystem::is_regular_file(status))
        refuseFile(path, "is not a regular file");
    if (std::filesystem::file_size(path, error) > kMaxPasswordBytes)
        refuseFile(path, "is larger than " + std::to_string(kMaxPasswordBytes) +
                             " bytes, too large for a password");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        refuseFile(path, std::strerror(errno));
    std::string password(std::istreambuf_iterator<char>(in), {});
    if (password.ends_with('\n'))
        password.pop_back();
    if (password.ends_with('\r'))
        password.pop_back();
    return password;
}

} // namespace

std::string databasePassword(const std::string& passwordFile) {
    if (!passwordFile.empty()) {
        if (std::string password = readPasswordFile(passwordFile); !password.empty())
            return password;
    }
    if (const char* file = std::getenv("QMR_DB_PASSWORD_FILE"); file && *file) {
        if (std::string password = readPasswordFile(file); !password.empty())
            return password;
    }
    if (const char* credentials = std::getenv("CREDENTIALS_DIRECTORY"); credentials && *credentials) {
        const std::string path = std::string(credentials) + "/db-password";
        std::error_code error;
        if (std::filesystem::exists(path, error)) {
            if (std::string password = readPasswordFile(path); !password.empty())
                return password;
        }
    }
    const char* password = std::getenv("QMR_DB_PASSWORD");
    return password ? password : "";
}

} // namespace qmr

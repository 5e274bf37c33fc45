#include "HostPaths.h"

#include <qmr41726/CriaTelaQmr41726.h>
#include <qmr41726/rtl/MessageText.h>

#include <cstdlib>
#include <vector>

namespace fs = std::filesystem;
using namespace qmr;

namespace {

constexpr const char* kPackageVariable = "QMR41726_PACKAGE";

/// A place the package was looked for: how it was chosen and the file there.
struct Candidate {
    std::string origin;
    fs::path file;
};

/// The one place the user named, if any: the option first, then the environment variable.
std::optional<Candidate> namedCandidate(const std::optional<std::string>& option) {
    if (option)
        return Candidate{"--package", *option};
    const char* variable = std::getenv(kPackageVariable);
    if (variable && *variable)
        return Candidate{std::string(kPackageVariable) + " (environment)", variable};
    return std::nullopt;
}

std::string describe(const Candidate& candidate) {
    return candidate.origin + ": " +
           nameExcerpt(candidate.file.string(), kPathExcerptBytes, TextEncoding::Utf8);
}

} // namespace

fs::path hostBinaryDir() {
    return fs::canonical("/proc/self/exe").parent_path();
}

std::string defaultDataFile(const fs::path& binaryDir) {
    return (binaryDir / QMR_DATA_RELATIVE_DIR / "produtos.csv").lexically_normal().string();
}

std::string findPackageFile(const std::optional<std::string>& option, const fs::path& binaryDir) {
    std::vector<Candidate> candidates;
    if (auto named = namedCandidate(option)) {
        candidates.push_back(std::move(*named));
    } else {
        candidates.push_back({"beside the host", binaryDir / kPackageQmr41726FileName});
        candidates.push_back(
            {"installed package folder",
             (binaryDir / QMR_PACKAGE_RELATIVE_DIR / kPackageQmr41726FileName).lexically_normal()});
    }
    std::error_code error;
    for (const Candidate& candidate : candidates)
        if (fs::is_regular_file(candidate.file, error))
            return candidate.file.string();
    std::string message = std::string("no screen package ") + kPackageQmr41726FileName + "; looked at";
    for (const Candidate& candidate : candidates)
        message += "\n  " + describe(candidate);
    if (candidates.size() > 1)
        message += std::string("\ngive its path with --package FILE or ") + kPackageVariable;
    throw PackageNotFound(message);
}

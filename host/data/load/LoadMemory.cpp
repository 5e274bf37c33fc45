#include <qmr41726/data/load/LoadMemory.h>

#include <qmr41726/data/load/Loaders.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <string>

namespace qmr {

namespace {

// cgroup v1 says "no limit" with the largest multiple of the page size below 2^63; nothing real
// comes near 2^60 bytes.
constexpr std::uint64_t kNoLimitFrom = std::uint64_t(1) << 60;

std::optional<std::string> fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return std::move(text).str();
}

std::optional<std::uint64_t> leadingNumber(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data() + start, text.data() + text.size(), value);
    if (error != std::errc() || end == text.data() + start)
        return std::nullopt;
    return value;
}

std::optional<std::uint64_t> smaller(std::optional<std::uint64_t> a, std::optional<std::uint64_t> b) {
    if (a && b)
        return std::min(*a, *b);
    return a ? a : b;
}

} // namespace

LoadMemory::LoadMemory(std::filesystem::path root) : m_root(std::move(root)) {}

std::optional<std::uint64_t> LoadMemory::parseLimit(std::string_view text) {
    const std::optional<std::uint64_t> value = leadingNumber(text);
    if (!value || *value >= kNoLimitFrom)
        return std::nullopt;
    return value;
}

std::optional<std::uint64_t> LoadMemory::parseMemAvailable(std::string_view meminfo) {
    constexpr std::string_view kKey = "MemAvailable:";
    for (std::size_t at = 0; at < meminfo.size();) {
        std::size_t end = meminfo.find('\n', at);
        if (end == std::string_view::npos)
            end = meminfo.size();
        const std::string_view line = meminfo.substr(at, end - at);
        at = end + 1;
        if (!line.starts_with(kKey))
            continue;
        const std::optional<std::uint64_t> kilobytes = leadingNumber(line.substr(kKey.size()));
        if (!kilobytes || *kilobytes > (UINT64_MAX >> 10))
            return std::nullopt;
        return *kilobytes << 10;
    }
    return std::nullopt;
}

// A container sees its own cgroup as the mount's root, while /proc/self/cgroup may still name the
// host's path: the walk upwards reaches the mount's root either way, and a limit set higher up
// binds the process as much as its own.
std::optional<std::uint64_t> LoadMemory::smallestLimitAlong(const std::filesystem::path& mount,
                                                            std::string_view cgroup, const char* file) const {
    std::optional<std::uint64_t> smallest;
    std::filesystem::path relative = std::filesystem::path(std::string(cgroup)).relative_path();
    for (;;) {
        if (const std::optional<std::string> text = fileText(mount / relative / file))
            smallest = smaller(smallest, parseLimit(*text));
        if (relative.empty())
            return smallest;
        relative = relative.parent_path();
    }
}

std::optional<std::uint64_t> LoadMemory::cgroupLimit() const {
    const std::optional<std::string> cgroups = fileText(m_root / "proc/self/cgroup");
    if (!cgroups)
        return std::nullopt;
    std::optional<std::uint64_t> limit;
    std::istringstream lines(*cgroups);
    for (std::string line; std::getline(lines, line);) {
        // hierarchy-ID:controllers:path; cgroup v2's single hierarchy is "0::path".
        const std::size_t first = line.find(':');
        const std::size_t second = first == std::string::npos ? first : line.find(':', first + 1);
        if (second == std::string::npos)
            continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        const std::string_view path = std::string_view(line).substr(second + 1);
        const std::filesystem::path mounts = m_root / "sys/fs/cgroup";
        if (line.starts_with("0::")) {
            limit = smaller(limit, smallestLimitAlong(mounts, path, "memory.max"));
            limit = smaller(limit, smallestLimitAlong(mounts / "unified", path, "memory.max"));
        } else if (("," + controllers + ",").find(",memory,") != std::string::npos) {
            limit = smaller(limit, smallestLimitAlong(mounts / "memory", path, "memory.limit_in_bytes"));
        }
    }
    return limit;
}

std::optional<std::uint64_t> LoadMemory::memAvailable() const {
    const std::optional<std::string> meminfo = fileText(m_root / "proc/meminfo");
    return meminfo ? parseMemAvailable(*meminfo) : std::nullopt;
}

std::optional<std::uint64_t> LoadMemory::usableBytes() const {
    if (const std::optional<std::uint64_t> limit = cgroupLimit())
        return limit;
    return memAvailable();
}

std::uint64_t LoadMemory::defaultBytes() const {
    const std::optional<std::uint64_t> usable = usableBytes();
    return usable ? std::min(LoadLimits::kDefaultMaxBytes, *usable / 2) : LoadLimits::kDefaultMaxBytes;
}

std::uint64_t defaultLoadMemory() {
    return LoadMemory().defaultBytes();
}

} // namespace qmr

#pragma once
// How much memory a load may take by default: half of what the process may use, at most
// LoadLimits::kDefaultMaxBytes. What the process may use is read from the files the kernel keeps
// (its cgroup's limit, else the machine's MemAvailable), below a root folder, so that a test can
// lay out those files as any machine has them.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace qmr {

/// The memory the kernel lets this process use, and the load budget that follows from it.
class LoadMemory {
public:
    /// Reads proc/self/cgroup, proc/meminfo and sys/fs/cgroup below `root`.
    explicit LoadMemory(std::filesystem::path root = "/");

    /// The smaller of LoadLimits::kDefaultMaxBytes and half of usableBytes(); the cap alone when
    /// nothing could be read.
    std::uint64_t defaultBytes() const;
    /// The cgroup's limit when one is set, else MemAvailable; nothing when neither can be read.
    std::optional<std::uint64_t> usableBytes() const;
    /// The smallest memory limit set on the process's cgroup or the cgroups above it.
    std::optional<std::uint64_t> cgroupLimit() const;
    /// /proc/meminfo's MemAvailable in bytes.
    std::optional<std::uint64_t> memAvailable() const;

    /// A cgroup limit file's text: bytes, or nothing for "max" and cgroup v1's near-2^63 "none".
    static std::optional<std::uint64_t> parseLimit(std::string_view text);
    /// The MemAvailable line of /proc/meminfo's text, in bytes.
    static std::optional<std::uint64_t> parseMemAvailable(std::string_view meminfo);

private:
    std::optional<std::uint64_t> smallestLimitAlong(const std::filesystem::path& mount,
                                                    std::string_view cgroup, const char* file) const;

    std::filesystem::path m_root;
};

} // namespace qmr

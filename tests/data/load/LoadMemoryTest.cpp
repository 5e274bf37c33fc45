// The default load budget from the files the kernel keeps, laid out below a scratch root as
// machines and containers have them.
#include <qmr41726/data/load/LoadMemory.h>
#include <qmr41726/data/load/Loaders.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>

using namespace qmr;

namespace {

constexpr std::uint64_t kGiB = std::uint64_t(1) << 30;

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

TEST(LoadMemory, theDefaultIsHalfOfTheCgroupsLimitElseOfMemAvailableAtMostTwoGiB) {
    const std::string cgroup = "proc/self/cgroup", meminfo = "proc/meminfo", v2 = "sys/fs/cgroup/",
                      v1 = "sys/fs/cgroup/memory/", none = "9223372036854771712\n";
    const std::string available8G = "MemTotal:       16000000 kB\nMemAvailable:    8000000 kB\n";
    const struct {
        const char* what;
        std::map<std::string, std::string> files;
        std::uint64_t expected;
    } cases[] = {
        {"v2, limit on the own cgroup",
         {{cgroup, "0::/shop/pos\n"}, {v2 + "shop/pos/memory.max", "1000000000\n"}, {meminfo, available8G}},
         500000000},
        {"v2, limit on a parent only",
         {{cgroup, "0::/shop/pos\n"},
          {v2 + "shop/pos/memory.max", "max\n"},
          {v2 + "shop/memory.max", "600000000\n"},
          {meminfo, available8G}},
         300000000},
        {"v2 beside v1 (unified), the smaller limit",
         {{cgroup, "4:memory:/pos\n0::/pos\n"},
          {v1 + "pos/memory.limit_in_bytes", "2000000000\n"},
          {v2 + "unified/pos/memory.max", "1200000000\n"},
          {meminfo, available8G}},
         600000000},
        {"v1 without a limit: MemAvailable",
         {{cgroup, "5:cpuacct,memory:/pos\n"},
          {v1 + "pos/memory.limit_in_bytes", none},
          {v1 + "memory.limit_in_bytes", none},
          {meminfo, "MemAvailable:    3000000 kB\n"}},
         1536000000},
        {"v1 in a container: the named path is missing, the mount's root holds the limit",
         {{cgroup, "4:memory:/process_api/47678582\n"}, {v1 + "memory.limit_in_bytes", "3221225472\n"}},
         1610612736},
        {"a garbage limit counts as none",
         {{cgroup, "0::/a\n"}, {v2 + "a/memory.max", "-5\n"}, {meminfo, "MemAvailable:    1000000 kB\n"}},
         512000000},
        {"a large machine without limits: the cap", {{meminfo, "MemAvailable:   24000000 kB\n"}}, 2 * kGiB},
        {"nothing readable, or no number: the cap", {{meminfo, "MemAvailable:   lots kB\n"}}, 2 * kGiB},
    };
    int index = 0;
    for (const auto& c : cases) {
        const std::filesystem::path root =
            std::filesystem::path(::testing::TempDir()) / ("qmr_load_memory_" + std::to_string(index++));
        std::filesystem::remove_all(root);
        for (const auto& [path, text] : c.files)
            writeFile(root / path, text);
        EXPECT_EQ(LoadMemory(root).defaultBytes(), c.expected) << c.what;
        std::filesystem::remove_all(root);
    }
    // This machine's own default moves with its free memory; it stays within the cap.
    EXPECT_GT(LoadLimits{}.maxBytes, 0u);
    EXPECT_LE(LoadLimits{}.maxBytes, LoadLimits::kDefaultMaxBytes);
}

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
    const std::string meminfo8G = "MemTotal:       16000000 kB\nMemAvailable:    8000000 kB\n";
    const std::string v1None = "9223372036854771712\n";
    struct Case {
        const char* what;
        std::map<std::string, std::string> files;
        std::uint64_t expected;
    };
    const Case cases[] = {
        {"v2 limit on the process's own cgroup, below MemAvailable",
         {{"proc/self/cgroup", "0::/shop/pos\n"},
          {"sys/fs/cgroup/shop/pos/memory.max", "1000000000\n"},
          {"proc/meminfo", meminfo8G}},
         500000000},
        {"v2 limit set on a parent only; the own cgroup says max",
         {{"proc/self/cgroup", "0::/shop/pos\n"},
          {"sys/fs/cgroup/shop/pos/memory.max", "max\n"},
          {"sys/fs/cgroup/shop/memory.max", "600000000\n"},
          {"proc/meminfo", meminfo8G}},
         300000000},
        {"v2 limit above MemAvailable still rules",
         {{"proc/self/cgroup", "0::/a\n"},
          {"sys/fs/cgroup/a/memory.max", "3000000000\n"},
          {"proc/meminfo", meminfo8G}},
         1500000000},
        {"hybrid: v2 mounted at unified beside v1's memory controller",
         {{"proc/self/cgroup", "4:memory:/pos\n0::/pos\n"},
          {"sys/fs/cgroup/memory/pos/memory.limit_in_bytes", "2000000000\n"},
          {"sys/fs/cgroup/unified/pos/memory.max", "1200000000\n"},
          {"proc/meminfo", meminfo8G}},
         600000000},
        {"v1 without a limit: MemAvailable",
         {{"proc/self/cgroup", "5:cpuacct,memory:/pos\n"},
          {"sys/fs/cgroup/memory/pos/memory.limit_in_bytes", v1None},
          {"sys/fs/cgroup/memory/memory.limit_in_bytes", v1None},
          {"proc/meminfo", "MemAvailable:    3000000 kB\n"}},
         1536000000},
        {"v1 in a container: the named path is not below the mount, its root holds the limit",
         {{"proc/self/cgroup", "4:memory:/process_api/47678582\n"},
          {"sys/fs/cgroup/memory/memory.limit_in_bytes", "3221225472\n"},
          {"proc/meminfo", meminfo8G}},
         1610612736},
        {"a large machine without limits: the cap",
         {{"proc/meminfo", "MemAvailable:   24000000 kB\n"}},
         2 * kGiB},
        {"nothing readable: the cap", {}, 2 * kGiB},
        {"a meminfo without a number: the cap",
         {{"proc/meminfo", "MemAvailable:   lots kB\n"}, {"proc/self/cgroup", "0::/\n"}},
         2 * kGiB},
        {"a limit file of garbage counts as none",
         {{"proc/self/cgroup", "0::/a\n"},
          {"sys/fs/cgroup/a/memory.max", "-5\n"},
          {"proc/meminfo", "MemAvailable:    1000000 kB\n"}},
         512000000},
    };
    int index = 0;
    for (const Case& c : cases) {
        const std::filesystem::path root =
            std::filesystem::path(::testing::TempDir()) / ("qmr_load_memory_" + std::to_string(index++));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        for (const auto& [path, text] : c.files)
            writeFile(root / path, text);
        EXPECT_EQ(LoadMemory(root).defaultBytes(), c.expected) << c.what;
        std::filesystem::remove_all(root);
    }
    // This machine's own default moves with its free memory; it stays within the cap.
    EXPECT_GT(LoadLimits{}.maxBytes, 0u);
    EXPECT_LE(LoadLimits{}.maxBytes, LoadLimits::kDefaultMaxBytes);
}

#include "CopyBench.h"

#include "CsvFile.h"
#include "Timing.h"

#include <qmr41726/data/cache/CatalogueCopy.h>

#include <fcntl.h>
#include <fstream>
#include <unistd.h>

using namespace qmr;

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr int kOpenRounds = 5;
constexpr std::chrono::seconds kAnyAge{1000000000};

/// Resident bytes of this process (file pages mapped in included), from /proc/self/statm.
double residentBytes() {
    std::ifstream statm("/proc/self/statm");
    double pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * double(sysconf(_SC_PAGESIZE));
}

/// Drops the file's pages from the page cache, so that the next open reads it from the disk. The
/// copy was synced when written, so its pages are clean and the kernel lets them go.
bool dropFromPageCache(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool dropped = posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    close(fd);
    return dropped;
}

} // namespace

void runCopyBench(const std::shared_ptr<const TColumnStore>& store, BenchReport& report) {
    const TemporaryFile copy("/tmp/qmr41726-bench-" + std::to_string(getpid()) + ".copy");
    std::optional<CopyError> error;
    report.cacheWriteMs = timeMs([&] { error = writeCatalogueCopy(*store, copy.path()); });
    if (error) {
        report.notes.push_back("copy: " + error->message);
        return;
    }
    std::vector<double> opens;
    for (int round = 0; round < kOpenRounds; ++round) {
        CatalogueCopy opened;
        const double before = residentBytes();
        opens.push_back(timeMs([&] { opened = openCatalogueCopy(copy.path(), kAnyAge); }));
        if (!opened) {
            report.notes.push_back("copy: " + opened.error->message);
            return;
        }
        report.cacheOpenMemoryMb = (residentBytes() - before) / kMiB;
    }
    report.cacheOpenMs = median(opens);
    std::ifstream file(copy.path(), std::ios::binary | std::ios::ate);
    report.cacheMb = double(file.tellg()) / kMiB;
    if (dropFromPageCache(copy.path()))
        report.cacheOpenColdMs = timeMs([&] { (void)openCatalogueCopy(copy.path(), kAnyAge); });
    else
        report.notes.push_back("copy: the file could not be dropped from the page cache; no cold open");
}

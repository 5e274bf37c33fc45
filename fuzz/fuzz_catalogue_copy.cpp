// Fuzzes the catalogue copy's reader: each input is written to a file and opened as a copy. The
// fuzz build skips the checksum's comparison (FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION, see
// host/data/cache/CMakeLists.txt), so inputs reach the checks of the header and of every column's
// arrays. An input must be refused with a message or give a store whose every value reads within
// the file; AddressSanitizer stops any read outside the mapping.

#include <qmr41726/data/cache/CatalogueCopy.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::string& inputPath() {
    static const std::string path = "/tmp/fuzz_catalogue_copy." + std::to_string(getpid());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream file(inputPath(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    const qmr::CatalogueCopy copy = qmr::openCatalogueCopy(inputPath(), std::chrono::seconds::max());
    if (!copy) {
        if (!copy.error || copy.error->message.empty())
            __builtin_trap();
        return 0;
    }
    std::size_t bytes = 0;
    for (int column = 0; column < copy.store->fieldCount(); ++column) {
        bytes += copy.store->fieldDef(column).name.size();
        for (int row = 0; row < copy.store->rowCount(); ++row)
            bytes += copy.store->isNull(row, column) ? 0 : copy.store->text(row, column).size();
    }
    return bytes == std::size_t(-1) ? 1 : 0;
}

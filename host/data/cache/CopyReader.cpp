// Opens a catalogue copy by mapping it: the header and checksum are checked, then every column's
// arrays are taken in place from the mapping once it is known that each lies inside the file and
// that every number the store's readers index by (text offsets, dictionary codes) stays within its
// array. A hostile file, even one whose checksum is right, is refused by name, never read past.

#include <qmr41726/data/cache/CatalogueCopy.h>
#include <qmr41726/data/cache/CopyChecksum.h>
#include <qmr41726/data/cache/CopyFile.h>
#include <qmr41726/data/cache/CopyFormat.h>
#include <qmr41726/data/cache/CopyMapping.h>
#include <qmr41726/data/load/FileKind.h>
#include <qmr41726/data/store/ColumnStoreImpl.h>
#include <qmr41726/rtl/MessageText.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace qmr {

namespace {

using namespace copyformat;

#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
// A fuzzer's inputs never carry their right checksum: comparing it would stop every one at the
// door and leave the checks behind it unexplored. Only the fuzz build skips the comparison.
constexpr bool kCompareChecksum = false;
#else
constexpr bool kCompareChecksum = true;
#endif

/// The farthest date-time from 1899-12-30, in days, that a copy may hold (see takeReals).
constexpr double kFarthestDays = 1e12;

/// Why the copy is refused: the words after the copy's name (" is empty", ": column 2 ...").
struct Refusal {
    CopyErrorKind kind;
    std::string what;
};

[[noreturn]] void damaged(std::string what) {
    throw Refusal{CopyErrorKind::Damaged, std::move(what)};
}

/// The columns of a mapped copy, each checked against the file's bounds and its rows.
class CopyColumns {
public:
    CopyColumns(const CopyMapping& mapping, std::uint32_t rows) : m_mapping(mapping), m_rows(rows) {}

    StoreColumn column(const ColumnRecord& record, std::size_t index) const {
        m_where = "column " + std::to_string(index + 1);
        StoreColumn column;
        const std::span<const char> name = array<char>(record.name, "name");
        column.def.name.assign(name.data(), name.size());
        m_where += " '" + nameExcerpt(column.def.name, kNameExcerptBytes) + "'";
        const std::span<const char> label = array<char>(record.label, "label");
        column.def.displayLabel.assign(label.data(), label.size());
        if (record.type > std::uint32_t(TFieldType::ftDateTime))
            damaged(": " + m_where + ": unknown field type " + std::to_string(record.type));
        column.def.type = TFieldType(record.type);
        if (record.size < 0)
            damaged(": " + m_where + ": negative size " + std::to_string(record.size));
        column.def.size = record.size;
        column.def.visible = record.visible != 0;
        // The builder grows the bitmap only up to the last null, so it may be shorter than the rows.
        column.nullBits = array<std::uint64_t>(record.nullBits, "null bits");
        if (column.nullBits.size() > (std::uint64_t(m_rows) + 63) / 64)
            damaged(": " + m_where + ": " + std::to_string(column.nullBits.size()) +
                    " words of null bits for " + std::to_string(m_rows) + " rows");
        switch (column.def.type) {
        case TFieldType::ftString:
            if (record.dictionaryOffsets.count != 0)
                takeCodedText(record, column);
            else
                takeText(record, column);
            break;
        case TFieldType::ftInteger:
            column.integers = rowArray<std::int64_t>(record.integers, "integers");
            break;
        case TFieldType::ftBoolean:
            column.booleans = rowArray<std::uint8_t>(record.booleans, "Booleans");
            break;
        case TFieldType::ftFloat:
        case TFieldType::ftDateTime:
            takeReals(record, column);
            break;
        }
        return column;
    }

private:
    /// The section as an array of T, once it is known to lie inside the file.
    template <class T> std::span<const T> array(const Section& section, const char* what) const {
        if (section.count == 0)
            return {};
        const std::uint64_t size = m_mapping.size();
        if (section.offset % alignof(T) != 0 || section.offset > size ||
            section.count > (size - section.offset) / sizeof(T))
            damaged(": " + m_where + ": its " + what + " (" + std::to_string(section.count) + " at byte " +
                    std::to_string(section.offset) + ") lie outside the file of " + std::to_string(size) +
                    " bytes");
        return {reinterpret_cast<const T*>(m_mapping.data() + section.offset), std::size_t(section.count)};
    }

    /// An array of one value a row.
    template <class T> std::span<const T> rowArray(const Section& section, const char* what) const {
        return counted(array<T>(section, what), m_rows, what);
    }

    template <class T>
    std::span<const T> counted(std::span<const T> values, std::uint64_t expected, const char* what) const {
        if (values.size() != expected)
            damaged(": " + m_where + ": " + std::to_string(values.size()) + " " + what + " where " +
                    std::to_string(expected) + " were expected");
        return values;
    }

    /// Offsets into `bytes`, from 0 and never decreasing, so that every value read through them
    /// lies within the bytes.
    void checkOffsets(std::span<const std::uint32_t> offsets, std::uint64_t bytes, const char* what) const {
        std::uint32_t previous = 0;
        bool ordered = offsets.empty() || offsets.front() == 0;
        for (const std::uint32_t offset : offsets) {
            ordered &= offset >= previous;
            previous = offset;
        }
        if (!ordered || (!offsets.empty() && offsets.back() != bytes))
            damaged(": " + m_where + ": its " + what + " do not run in order through its " +
                    std::to_string(bytes) + " bytes of text");
    }

    void takeText(const ColumnRecord& record, StoreColumn& column) const {
        const std::span<const char> bytes = array<char>(record.bytes, "text");
        column.bytes = std::string_view(bytes.data(), bytes.size());
        // A column of no rows may have handed back even its first offset.
        column.offsets = array<std::uint32_t>(record.offsets, "text offsets");
        if (m_rows > 0 || !column.offsets.empty())
            counted(column.offsets, std::uint64_t(m_rows) + 1, "text offsets");
        checkOffsets(column.offsets, bytes.size(), "text offsets");
        // The heads are a shortcut the builder keeps for text of many values; a column may go without.
        column.heads = array<std::array<char, 4>>(record.heads, "heads");
        if (!column.heads.empty())
            counted(column.heads, m_rows, "heads");
    }

    void takeCodedText(const ColumnRecord& record, StoreColumn& column) const {
        const std::span<const char> bytes = array<char>(record.dictionaryBytes, "dictionary text");
        const std::span<const std::uint32_t> offsets =
            array<std::uint32_t>(record.dictionaryOffsets, "dictionary offsets");
        // A code is one byte, and the readers size their tables for 256 values.
        if (offsets.size() < 2 || offsets.size() > 256)
            damaged(": " + m_where + ": a dictionary of " + std::to_string(offsets.size() - 1) +
                    " values, where 1 to 255 are possible");
        checkOffsets(offsets, bytes.size(), "dictionary offsets");
        for (std::size_t i = 0; i + 1 < offsets.size(); ++i)
            column.dictionary.emplace_back(bytes.data() + offsets[i], offsets[i + 1] - offsets[i]);
        column.codes = rowArray<std::uint8_t>(record.codes, "dictionary codes");
        std::uint8_t highest = 0;
        for (const std::uint8_t code : column.codes)
            highest = std::max(highest, code);
        if (!column.codes.empty() && highest >= column.dictionary.size())
            damaged(": " + m_where + ": a row holds code " + std::to_string(highest) +
                    " of a dictionary of " + std::to_string(column.dictionary.size()) + " values");
    }

    /// Floats and date-times. A NaN (which the builder refuses) would break the orderings that
    /// index the rows; a date-time must also be one whose day a calendar computation can hold:
    /// 10^12 days either way of 1899-12-30 is billions of years past any real date.
    void takeReals(const ColumnRecord& record, StoreColumn& column) const {
        column.reals = rowArray<double>(record.reals, "reals");
        const bool dates = column.def.type == TFieldType::ftDateTime;
        const auto bad = std::find_if(column.reals.begin(), column.reals.end(), [dates](double value) {
            return dates ? !(std::fabs(value) <= kFarthestDays) : std::isnan(value);
        });
        if (bad != column.reals.end())
            damaged(": " + m_where + ", row " + std::to_string(bad - column.reals.begin() + 1) + ": " +
                    (dates ? "a date-time that is no number of days within 10^12 of 1899-12-30"
                           : "NaN is not a value"));
    }

    const CopyMapping& m_mapping;
    std::uint32_t m_rows;
    /// The column being read, as messages name it.
    mutable std::string m_where;
};

std::string utcText(std::int64_t ms) {
    const std::time_t seconds = std::time_t(ms / 1000);
    std::tm parts{};
    char text[32] = "?";
    if (gmtime_r(&seconds, &parts))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    return text;
}

/// The header's promises about the file: its mark, version, size and checksum.
const Header& checkedHeader(const CopyMapping& mapping) {
    const Header& header = *reinterpret_cast<const Header*>(mapping.data());
    if (header.magic != kMagic)
        damaged(" is not a catalogue copy (it does not begin with a copy's mark)");
    if (header.version != kVersion)
        throw Refusal{CopyErrorKind::OtherVersion,
                      " is a copy of format version " + std::to_string(header.version) +
                          "; this program reads version " + std::to_string(kVersion)};
    if (header.headerBytes != sizeof(Header))
        damaged(" has a header of " + std::to_string(header.headerBytes) + " bytes where " +
                std::to_string(sizeof(Header)) + " were expected");
    if (header.fileBytes > mapping.size())
        damaged(" is cut short: it holds " + std::to_string(mapping.size()) + " of its " +
                std::to_string(header.fileBytes) + " bytes");
    if (header.fileBytes < mapping.size())
        damaged(" has " + std::to_string(mapping.size() - header.fileBytes) + " bytes past its end of " +
                std::to_string(header.fileBytes));
    if (kCompareChecksum &&
        copyChecksum(mapping.data() + kChecksumFrom, mapping.size() - kChecksumFrom) != header.checksum)
        damaged(" fails its checksum: its bytes are not those that were written");
    if (header.rows > std::uint32_t(INT_MAX))
        damaged(" claims " + std::to_string(header.rows) + " rows, more than a store holds");
    // Rows without columns hold nothing to read, yet a data set over them would still number them all.
    if (header.columns == 0 && header.rows != 0)
        damaged(" claims " + std::to_string(header.rows) + " rows but no columns");
    if (header.columns > (mapping.size() - sizeof(Header)) / sizeof(ColumnRecord))
        damaged(" claims " + std::to_string(header.columns) + " columns, whose records lie outside the file");
    return header;
}

/// The latest written time a copy may carry (in 2255): the system clock counts in nanoseconds,
/// which run out in 2262.
constexpr std::int64_t kLatestWrittenMs = 9'000'000'000'000;

void checkAge(const Header& header, std::chrono::seconds maxAge) {
    using namespace std::chrono;
    if (header.writtenAtMs < 0 || header.writtenAtMs > kLatestWrittenMs)
        damaged(" was written at " + std::to_string(header.writtenAtMs) +
                " ms after 1970, a time no clock of this system gives");
    const std::int64_t now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    // A copy dated in the future (the clock was set back since) counts as new.
    const std::int64_t ageSeconds = std::max<std::int64_t>(now - header.writtenAtMs, 0) / 1000;
    if (ageSeconds > maxAge.count())
        throw Refusal{CopyErrorKind::TooOld, " is " + std::to_string(ageSeconds) + " seconds old (written " +
                                                 utcText(header.writtenAtMs) + "), more than the " +
                                                 std::to_string(maxAge.count()) + " allowed"};
}

std::shared_ptr<const CopyMapping> mapCopy(const std::string& path) {
    if (const FileKindProblem problem = fileKindProblem(path)) {
        const CopyErrorKind kind = problem.kind == FileKindProblem::Kind::Missing ? CopyErrorKind::NotFound
                                   : problem.kind == FileKindProblem::Kind::Unexaminable
                                       ? CopyErrorKind::SystemError
                                       : CopyErrorKind::NotRegularFile;
        throw Refusal{kind, problem.about("")};
    }
    // Without blocking: a FIFO put at the path since it was examined must not hold the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw Refusal{CopyErrorKind::SystemError,
                      std::string(" cannot be opened (") + std::strerror(errno) + ")"};
    const CopyFile owner(fd, path);
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        throw Refusal{CopyErrorKind::SystemError,
                      std::string(" cannot be examined (") + std::strerror(errno) + ")"};
    if (!S_ISREG(status.st_mode))
        throw Refusal{CopyErrorKind::NotRegularFile, " is not a regular file"};
    if (status.st_size == 0)
        damaged(" is empty");
    if (std::uint64_t(status.st_size) < sizeof(Header))
        damaged(" is cut short: it holds " + std::to_string(status.st_size) +
                " bytes, fewer than its header's " + std::to_string(sizeof(Header)));
    try {
        return CopyMapping::map(fd, std::size_t(status.st_size), path);
    } catch (const CopyFileError& error) {
        throw Refusal{CopyErrorKind::SystemError, std::string(": ") + error.what()};
    }
}

} // namespace

CatalogueCopy openCatalogueCopy(const std::string& path, std::chrono::seconds maxAge) {
    CatalogueCopy copy;
    try {
        const std::shared_ptr<const CopyMapping> mapping = mapCopy(path);
        const Header& header = checkedHeader(*mapping);
        checkAge(header, maxAge);
        const auto* records = reinterpret_cast<const ColumnRecord*>(mapping->data() + sizeof(Header));
        auto impl = std::make_unique<TColumnStore::Impl>();
        impl->rows = int(header.rows);
        impl->columns.reserve(header.columns);
        const CopyColumns columns(*mapping, header.rows);
        for (std::size_t i = 0; i < header.columns; ++i)
            impl->columns.push_back(columns.column(records[i], i));
        impl->mappedBytes = mapping->size();
        impl->keptAlive = mapping;
        copy.writtenAt = std::chrono::system_clock::time_point(std::chrono::milliseconds(header.writtenAtMs));
        copy.store = TColumnStore::Impl::adopt(std::move(impl));
    } catch (const Refusal& refusal) {
        const std::string name = nameExcerpt(path, kPathExcerptBytes, TextEncoding::Utf8);
        copy.error = CopyError{refusal.kind, "catalogue copy " + name + refusal.what};
    }
    return copy;
}

} // namespace qmr

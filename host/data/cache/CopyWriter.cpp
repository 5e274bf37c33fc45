// Writes a catalogue copy: the store's arrays as they are in memory, behind a header and one
// record a column (CopyFormat.h), to a temporary file that replaces the copy only once it is whole
// and on disk.

#include <qmr41726/data/cache/CatalogueCopy.h>
#include <qmr41726/data/cache/CopyChecksum.h>
#include <qmr41726/data/cache/CopyFile.h>
#include <qmr41726/data/cache/CopyFormat.h>
#include <qmr41726/data/load/FileKind.h>
#include <qmr41726/data/store/ColumnStoreImpl.h>
#include <qmr41726/rtl/MessageText.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

namespace qmr {

namespace {

using namespace copyformat;

/// Bytes to write at a place of the file.
struct Piece {
    std::uint64_t offset;
    const void* data;
    std::size_t size;
};

/// A coded column's dictionary as the file keeps it: offsets into one run of bytes.
struct DictionaryBytes {
    std::vector<std::uint32_t> offsets;
    std::string bytes;
};

/// Where everything goes, planned before the first byte is written so that the header can name
/// the file's size and the checksum can be taken in the same pass as the write.
class CopyPlan {
public:
    CopyPlan(const TColumnStore::Impl& store, std::chrono::system_clock::time_point writtenAt) {
        m_records.resize(store.columns.size());
        m_dictionaries.resize(store.columns.size());
        m_end = sizeof(Header) + m_records.size() * sizeof(ColumnRecord);
        for (std::size_t i = 0; i < store.columns.size(); ++i)
            planColumn(store.columns[i], m_records[i], m_dictionaries[i]);
        m_header.fileBytes = m_end;
        m_header.writtenAtMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(writtenAt.time_since_epoch()).count();
        m_header.rows = std::uint32_t(store.rows);
        m_header.columns = std::uint32_t(store.columns.size());
    }

    const Header& header() const noexcept { return m_header; }
    /// Everything after the header, in the order of the file.
    std::vector<Piece> body() const {
        std::vector<Piece> pieces{
            {sizeof(Header), m_records.data(), m_records.size() * sizeof(ColumnRecord)}};
        pieces.insert(pieces.end(), m_sections.begin(), m_sections.end());
        return pieces;
    }

private:
    template <class T> Section place(const T* data, std::size_t count) {
        if (count == 0)
            return {};
        m_end = (m_end + kSectionAlignment - 1) / kSectionAlignment * kSectionAlignment;
        const Section section{m_end, count};
        m_sections.push_back({m_end, data, count * sizeof(T)});
        m_end += count * sizeof(T);
        return section;
    }
    template <class Array> Section place(const Array& values) { return place(values.data(), values.size()); }

    void planColumn(const StoreColumn& column, ColumnRecord& record, DictionaryBytes& dictionary) {
        record.name = place(column.def.name);
        record.label = place(column.def.displayLabel);
        record.type = std::uint32_t(column.def.type);
        record.size = column.def.size;
        record.visible = column.def.visible ? 1 : 0;
        record.bytes = place(column.bytes);
        record.offsets = place(column.offsets);
        record.integers = place(column.integers);
        record.booleans = place(column.booleans);
        record.reals = place(column.reals);
        record.nullBits = place(column.nullBits);
        record.codes = place(column.codes);
        record.heads = place(column.heads);
        if (column.dictionary.empty())
            return;
        dictionary.offsets.push_back(0);
        for (const std::string& value : column.dictionary) {
            dictionary.bytes += value;
            dictionary.offsets.push_back(std::uint32_t(dictionary.bytes.size()));
        }
        record.dictionaryOffsets = place(dictionary.offsets);
        record.dictionaryBytes = place(dictionary.bytes);
    }

    Header m_header;
    std::vector<ColumnRecord> m_records;
    /// Held here for their pieces to point into; never resized after the plan is made.
    std::vector<DictionaryBytes> m_dictionaries;
    std::vector<Piece> m_sections;
    std::uint64_t m_end = 0;
};

/// Writes the plan to `file`, checksumming what it writes; zeros fill the gaps before aligned
/// sections.
void writePlan(const CopyPlan& plan, CopyFile& file) {
    Header header = plan.header();
    file.writeAll(&header, sizeof(header));
    CopyChecksum checksum;
    checksum.add(reinterpret_cast<const char*>(&header) + kChecksumFrom, sizeof(header) - kChecksumFrom);
    std::uint64_t at = sizeof(header);
    static constexpr char kZeros[kSectionAlignment] = {};
    for (const Piece& piece : plan.body()) {
        if (piece.offset > at) {
            file.writeAll(kZeros, std::size_t(piece.offset - at));
            checksum.add(kZeros, std::size_t(piece.offset - at));
        }
        file.writeAll(piece.data, piece.size);
        checksum.add(piece.data, piece.size);
        at = piece.offset + piece.size;
    }
    header.checksum = checksum.value();
    file.writeAt(&header.checksum, sizeof(header.checksum), offsetof(Header, checksum));
}

} // namespace

const char* copyErrorKindName(CopyErrorKind kind) noexcept {
    switch (kind) {
    case CopyErrorKind::NotFound:
        return "not-found";
    case CopyErrorKind::NotRegularFile:
        return "not-a-regular-file";
    case CopyErrorKind::SystemError:
        return "system-error";
    case CopyErrorKind::Damaged:
        return "damaged";
    case CopyErrorKind::OtherVersion:
        return "other-version";
    case CopyErrorKind::TooOld:
        return "too-old";
    }
    return "damaged";
}

std::optional<CopyError> writeCatalogueCopy(const TColumnStore& store, const std::string& path,
                                            std::chrono::system_clock::time_point writtenAt) {
    const std::string name = nameExcerpt(path, kPathExcerptBytes, TextEncoding::Utf8);
    // A directory or a device at the path would be replaced or written through by the rename.
    if (const FileKindProblem problem = fileKindProblem(path);
        problem && problem.kind != FileKindProblem::Kind::Missing)
        return CopyError{CopyErrorKind::NotRegularFile, "catalogue copy " + problem.about(name)};
    std::optional<TemporaryCopyFile> temporary;
    try {
        const CopyPlan plan(store.impl(), writtenAt);
        temporary.emplace(path);
        writePlan(plan, temporary->file());
        temporary->replace(path);
        return std::nullopt;
    } catch (const CopyFileError& error) {
        // Only the folder's sync comes after the rename: the new copy is then in place, but a power
        // cut may still take the rename back.
        const bool replaced = temporary && temporary->replaced();
        return CopyError{CopyErrorKind::SystemError,
                         "catalogue copy " + name + ": " + error.what() +
                             (replaced ? "; the new copy is in place but may not survive a power cut"
                                       : "; the previous copy is kept")};
    }
}

} // namespace qmr

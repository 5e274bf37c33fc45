#pragma once
// The layout of a catalogue copy on disk, shared by its writer, its reader and their tests
// (docs/catalogue-copy.md says the same in prose). The file is the store's own arrays, each a
// section the reader maps and reads in place, behind a header and one record a column:
//
//   Header        48 bytes: magic, checksum, version, sizes, written time, rows, columns
//   ColumnRecord  208 bytes a column: the field's definition and where each of its arrays lies
//   sections      each array, starting at a multiple of 8 bytes from the file's start
//
// Numbers are little-endian, as on every machine the terminals run on; the build refuses any
// other. Sections are 8-aligned so that a mapped file's integers and doubles are read aligned.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace qmr::copyformat {

static_assert(std::endian::native == std::endian::little, "the copy's numbers are little-endian");

inline constexpr std::array<char, 8> kMagic{'Q', 'M', 'R', 'C', 'O', 'P', 'Y', '\n'};
/// Raised whenever the layout changes: a reader refuses any version but its own.
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::uint64_t kSectionAlignment = 8;

/// Where one array lies: its first byte's place in the file, and its elements.
struct Section {
    std::uint64_t offset = 0;
    std::uint64_t count = 0;
};

struct Header {
    std::array<char, 8> magic = kMagic;
    /// XXH3-64 of every byte from `version` to the end of the file.
    std::uint64_t checksum = 0;
    std::uint32_t version = kVersion;
    std::uint32_t headerBytes = 48;
    std::uint64_t fileBytes = 0;
    /// Milliseconds since 1970-01-01 UTC.
    std::int64_t writtenAtMs = 0;
    std::uint32_t rows = 0;
    /// Column records that follow the header.
    std::uint32_t columns = 0;
};
static_assert(sizeof(Header) == 48);
/// The checksum covers the file from here on: the header's later fields included.
inline constexpr std::size_t kChecksumFrom = offsetof(Header, version);

/// One column: its field definition (name and label as sections of bytes) and its arrays, as
/// StoreColumn keeps them (see ColumnStoreImpl.h). An array the column does not use is empty.
struct ColumnRecord {
    Section name;
    Section label;
    std::uint32_t type = 0;
    std::int32_t size = 0;
    std::uint32_t visible = 1;
    std::uint32_t reserved = 0;
    Section bytes;
    Section offsets;
    Section integers;
    Section booleans;
    Section reals;
    Section nullBits;
    Section codes;
    Section heads;
    /// The dictionary of a coded column: `values + 1` uint32 offsets into its bytes.
    Section dictionaryOffsets;
    Section dictionaryBytes;
};
static_assert(sizeof(ColumnRecord) == 208);

} // namespace qmr::copyformat

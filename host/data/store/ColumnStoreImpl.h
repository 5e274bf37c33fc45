#pragma once
// The raw storage of a column store, for the data layer's own use (filter evaluation, index
// building, display text). Nothing outside the data layer includes this header.
//
// Every column keeps its values in flat arrays, so a million rows cost a handful of allocations:
//   - strings: one byte arena per column and `rows + 1` uint32 offsets into it (row r is
//     bytes[offsets[r], offsets[r + 1])); a null string is empty with its null bit set;
//   - integers: int64 values; Booleans: one byte each (0 or 1);
//   - floats and date-times: doubles (date-times as days since 1899-12-30);
//   - nulls: a bitmap, one bit a row, allocated only once the column holds a null;
//   - a string column of at most 255 distinct values (flags, cities, codes of a few letters) keeps
//     one byte a row numbering its value in `dictionary` instead of the arena and offsets: a
//     filter on it then reads 1 byte a row instead of an offset and the text, which matters when
//     rows are visited in index order, and at 10M rows such a column takes 10 MB instead of 140;
//   - any other string column keeps each row's first 4 bytes (zero-padded) in `heads`, so that a
//     search for a beginning reads 4 bytes a row instead of walking the whole text arena.
//
// A column views its arrays rather than owning them: they are the builder's vectors, kept in the
// store's `owned`, or a catalogue copy's file mapped in memory, kept alive by `keptAlive`, so that
// a copy opens without a single value being copied. Either way they never change once the store is
// finished.

#include <qmr41726/data/store/TColumnStore.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qmr {

/// One column's values and null bits, viewed where they are kept.
struct StoreColumn {
    TFieldDef def;
    std::string_view bytes;
    std::span<const std::uint32_t> offsets;
    std::span<const std::int64_t> integers;
    std::span<const std::uint8_t> booleans;
    std::span<const double> reals;
    std::span<const std::uint64_t> nullBits;
    /// For a column with few distinct strings: the values, and each row's number among them
    /// (a null row's number is that of ""). Empty when the column has too many values. At most 255
    /// short strings, so owned even by a mapped store.
    std::vector<std::string> dictionary;
    std::span<const std::uint8_t> codes;
    std::span<const std::array<char, 4>> heads;

    bool isNull(std::uint32_t row) const noexcept {
        const std::size_t word = row >> 6;
        return word < nullBits.size() && ((nullBits[word] >> (row & 63)) & 1u) != 0;
    }
    std::string_view string(std::uint32_t row) const noexcept {
        if (isCoded())
            return dictionary[codes[row]];
        return {bytes.data() + offsets[row], std::size_t(offsets[row + 1] - offsets[row])};
    }
    bool hasNulls() const noexcept { return !nullBits.empty(); }
    bool isCoded() const noexcept { return !dictionary.empty(); }
};

/// Row `row`'s value as the grid shows it (see TColumnStore::text); "" for null.
AnsiString columnText(const StoreColumn& column, std::uint32_t row);

/// The arrays of one column that the builder fills and the finished store owns.
struct OwnedColumn {
    std::string bytes;
    std::vector<std::uint32_t> offsets{0};
    std::vector<std::int64_t> integers;
    std::vector<std::uint8_t> booleans;
    std::vector<double> reals;
    std::vector<std::uint64_t> nullBits;
    std::vector<std::uint8_t> codes;
    std::vector<std::array<char, 4>> heads;

    /// Points `column`'s views at these arrays.
    void showIn(StoreColumn& column) const noexcept;
    std::size_t capacityBytes() const noexcept;
};

struct TColumnStore::Impl {
    std::vector<StoreColumn> columns;
    int rows = 0;
    /// The arrays the columns view, when the builder made them (one per column).
    std::vector<OwnedColumn> owned;
    /// What keeps the arrays the columns view alive when they are not owned (a file's mapping),
    /// and its size.
    std::shared_ptr<const void> keptAlive;
    std::size_t mappedBytes = 0;

    /// A store over `impl`'s columns, for a reader that made them from memory of its own.
    static std::shared_ptr<const TColumnStore> adopt(std::unique_ptr<Impl> impl);
};

} // namespace qmr

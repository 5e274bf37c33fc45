#pragma once
// Building an index: the store's rows sorted by some of its columns.

#include <qmr41726/data/store/TColumnStore.h>

#include <cstdint>
#include <vector>

namespace qmr {

/// One key of an index: a column and how it orders.
struct IndexKey {
    int column = 0;
    bool descending = false;
    /// Strings compare as if upper-cased (a-z only).
    bool caseInsensitive = false;
};

/// The store's rows ordered by `keys`: stable (equal keys keep store order) and by each type's
/// natural order: strings by their bytes as unsigned values (so 'Z' < 'a' < 'ç'), numbers and
/// date-times by value, False before True. Nulls come before every value; a descending key turns
/// that round too. A permutation of 4 bytes a row. From 65536 rows on, the work is shared with a
/// second thread, which has finished when this returns.
std::vector<std::uint32_t> buildIndexOrder(const TColumnStore& store, const std::vector<IndexKey>& keys);
/// The same, sharing the work with a second thread from `rowsToSplit` rows on (for tests of the
/// shared road on few rows).
std::vector<std::uint32_t> buildIndexOrder(const TColumnStore& store, const std::vector<IndexKey>& keys,
                                           std::uint32_t rowsToSplit);

} // namespace qmr

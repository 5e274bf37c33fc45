#pragma once
// Finding the rows whose text starts with a prefix by binary search in an index, instead of
// testing every row.

#include <qmr41726/data/index/FilterPrefixTerm.h>
#include <qmr41726/data/index/FilterRows.h>
#include <qmr41726/data/store/ColumnStoreImpl.h>

#include <cstdint>
#include <span>
#include <vector>

namespace qmr {

/// Appends the runs of `rows` (rows in the order of an ascending index whose first key is
/// `column`, by bytes or, when `caseInsensitiveOrder`, by upper-cased bytes, nulls first: the
/// index itself or any part of it) that hold every row whose value, cased by `term.fold`, starts
/// with `term.prefix`, as positions in `rows` plus `offset`. The runs come in index order and may
/// hold some rows that do not match (a case-insensitive index cannot tell 'jo' from 'JO'): the
/// caller still tests each row. Returns the number of positions the runs cover.
std::size_t findPrefixRanges(const StoreColumn& column, std::span<const std::uint32_t> rows,
                             bool caseInsensitiveOrder, const FilterPrefixTerm& term,
                             std::vector<PositionRange>& ranges, std::uint32_t offset = 0);

} // namespace qmr

#pragma once
// Finding the rows whose text starts with a prefix by binary search in an index, instead of
// testing every row.

#include "host/data/ColumnStoreImpl.h"
#include "host/data/TFilterProgram.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace qmr {

/// A run of positions [first, second) in an index.
using PositionRange = std::pair<std::uint32_t, std::uint32_t>;

/// The runs of `order` (an ascending index whose first key is `column`, by bytes or, when
/// `caseInsensitiveOrder`, by upper-cased bytes, nulls first) that hold every row whose value,
/// cased by `term.fold`, starts with `term.prefix`. The runs come in index order and may hold
/// some rows that do not match (a case-insensitive index cannot tell 'jo' from 'JO'): the caller
/// still tests each row. Returns the number of positions the runs cover.
std::size_t findPrefixRanges(const StoreColumn& column, const std::vector<std::uint32_t>& order,
                             bool caseInsensitiveOrder, const FilterPrefixTerm& term,
                             std::vector<PositionRange>& ranges);

} // namespace qmr

#pragma once
// Finding, in store order, the rows whose text starts with a short prefix by reading only the
// first 4 bytes each row keeps in its column's heads: a search on a data set without an index
// reads 4 bytes a row instead of walking every text.

#include <qmr41726/data/index/FilterPrefixTerm.h>
#include <qmr41726/data/store/ColumnStoreImpl.h>

#include <cstdint>
#include <vector>

namespace qmr {

/// Appends to `out`, in order, the store rows in [begin, end) whose value, cased by `term.fold`,
/// starts with the first (up to) 4 bytes of `term.prefix`; null rows never qualify. Returns false,
/// adding nothing, when the heads cannot answer: the column keeps none, or the prefix holds a zero
/// byte (which the heads' padding would match).
bool scanPrefixHeads(const StoreColumn& column, const FilterPrefixTerm& term, std::uint32_t begin,
                     std::uint32_t end, std::vector<std::uint32_t>& out);

} // namespace qmr

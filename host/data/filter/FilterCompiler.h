#pragma once
// Turns a parsed filter into predicates over one store's columns, checking names and types.

#include <qmr41726/data/filter/FilterParser.h>
#include <qmr41726/data/filter/FilterPredicates.h>
#include <qmr41726/data/store/ColumnStoreImpl.h>

namespace qmr {

/// The predicates of `tree` over `store`. Raises EDatabaseError "Filter error at position N: ..."
/// for an unknown field or values that do not compare:
///   - texts compare with texts, numbers (integer, float and date-time fields, numeric literals)
///     with numbers, Booleans with Booleans;
///   - a quoted literal compared with a number field is read as a number ('12.5'), and with a
///     date-time field also as a date ('31/12/2024', '2024-12-31 08:30');
///   - a Boolean field compares with TRUE / FALSE or with 'True' / 'False' in any case;
///   - UPPER( ), LOWER( ) and LIKE take texts only.
FilterPredicatePtr compileFilterTree(const FilterNode& tree, const TColumnStore::Impl& store);

/// The column `name` (a-z case ignored) of `store`, or -1.
int findStoreColumn(const TColumnStore::Impl& store, std::string_view name);

} // namespace qmr

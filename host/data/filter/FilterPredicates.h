#pragma once
// The compiled form of a filter: a tree of predicates over column storage, evaluated a batch of
// rows at a time. Built by TFilterProgram from a parsed and type-checked filter.
//
// Truth has three values: a comparison that meets a null is unknown, AND takes the lesser and OR
// the greater of its sides, NOT turns true and false round and leaves unknown alone. A row passes
// only when the whole filter is true, so "NULL compares false", and NOT (PRECO > 10) keeps a null
// PRECO out just as PRECO <= 10 does.

#include <qmr41726/data/filter/FilterParser.h>
#include <qmr41726/data/filter/LikePattern.h>
#include <qmr41726/data/store/ColumnStoreImpl.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace qmr {

/// Truth values of a row, ordered so that AND is min and OR is max.
constexpr std::uint8_t kFalse = 0, kUnknown = 1, kTrue = 2;

/// Rows a predicate evaluates in one call, at most.
constexpr std::size_t kFilterBatch = 512;

/// A number as the filter compares it: integers stay exact, everything else is a double.
struct FilterNumber {
    bool isInteger = true;
    std::int64_t integer = 0;
    double real = 0;
};

/// What a comparison side holds: a column (possibly cased by UPPER/LOWER) or a literal.
struct FilterValue {
    enum class Class { String, Number, Boolean };
    Class valueClass = Class::String;
    /// The column, or nullptr for a literal.
    const StoreColumn* column = nullptr;
    TextFold fold = TextFold::None;
    /// A number, date or Boolean column read as the text the grid shows for it (under UPPER,
    /// LOWER or LIKE); its class is then String.
    bool readsShownText = false;
    AnsiString text;
    FilterNumber number;
    bool boolean = false;
};

/// One node of a compiled filter.
class FilterPredicate {
public:
    virtual ~FilterPredicate() = default;
    /// Writes the truth of each of `count` (at most kFilterBatch) store rows to `out`.
    virtual void evaluate(const std::uint32_t* rows, std::size_t count, std::uint8_t* out) const = 0;
};

using FilterPredicatePtr = std::unique_ptr<FilterPredicate>;

/// Orders two numbers exactly (an integer beyond 2^53 against a double included): -1, 0 or 1.
int compareFilterNumbers(const FilterNumber& a, const FilterNumber& b) noexcept;

/// The truth of `a op b` for two literals, decided once at compile time.
std::uint8_t compareLiterals(const FilterValue& a, FilterCompare op, const FilterValue& b);

FilterPredicatePtr makeConstant(std::uint8_t truth);
FilterPredicatePtr makeAnd(FilterPredicatePtr left, FilterPredicatePtr right);
FilterPredicatePtr makeOr(FilterPredicatePtr left, FilterPredicatePtr right);
FilterPredicatePtr makeNot(FilterPredicatePtr inner);
/// `shared` as a predicate of another filter: a compiled filter that several filters build on.
FilterPredicatePtr makeShared(std::shared_ptr<const FilterPredicate> shared);
FilterPredicatePtr makeIsNull(const StoreColumn& column, bool negated);
/// `column LIKE pattern` (or NOT LIKE); a column of other values is matched by its shown text.
FilterPredicatePtr makeLike(const StoreColumn& column, TextFold fold, AnsiString pattern, bool negated);
/// `a op b` where at least one side is a column and both sides are of the same class.
FilterPredicatePtr makeCompare(FilterValue a, FilterCompare op, FilterValue b);
/// `value IN (literals)` (or NOT IN); `value` is a column, the literals of its class.
FilterPredicatePtr makeIn(FilterValue value, std::vector<FilterValue> literals, bool negated);

} // namespace qmr

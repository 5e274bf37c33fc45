#pragma once
// A filter text compiled against one column store: parsed once, type-checked, and turned into
// predicates that read the columns directly. A data set keeps the program of its filter and runs
// it over rows; nothing is re-parsed per row.

#include <qmr41726/data/filter/FilterParser.h>
#include <qmr41726/data/filter/FilterPredicates.h>
#include <qmr41726/data/filter/LikePattern.h>
#include <qmr41726/data/index/FilterPrefixTerm.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace qmr {

class TColumnStore;

/// A compiled filter.
class TFilterProgram {
public:
    /// Compiles `text` for `store`. Raises EDatabaseError "Filter error at position N: ..." for a
    /// text the language rejects: bad syntax, an unknown field, or values of types that do not
    /// compare. An empty text (or only blanks) accepts every row.
    static std::unique_ptr<TFilterProgram> compile(std::string_view text, const TColumnStore& store);
    /// Compiles the filter "`base` AND `tail`" (with `base`'s text in parentheses when
    /// `parenthesised`; `baseIsOneGroup` when that text is one parenthesised group), where `tail` stands
    /// after `tailOffset` characters of that text, sharing `base` (compiled for `store`) instead of compiling
    /// it again. Errors name positions in the whole text. nullptr when the whole text would not read as
    /// `base` AND `tail` (an OR at the top of either side) or its size must be checked from the start:
    /// compile it whole instead.
    static std::unique_ptr<TFilterProgram> compileAppended(std::shared_ptr<const TFilterProgram> base,
                                                           bool parenthesised, bool baseIsOneGroup,
                                                           std::string_view tail, int tailOffset,
                                                           const TColumnStore& store);
    ~TFilterProgram();

    /// The parsed filter, or nullptr when it accepts every row.
    const FilterNode* tree() const noexcept { return m_tree.get(); }
    /// What the filter spends of the bounds on the whole filter.
    const FilterSize& size() const noexcept { return m_size; }
    bool acceptsAll() const noexcept { return !m_predicate; }
    /// The LIKE term an index can serve, if the filter has one.
    const FilterPrefixTerm* prefixTerm() const noexcept { return m_prefix.column < 0 ? nullptr : &m_prefix; }
    /// Whether every row `wider` accepts passes the terms besides prefixTerm(), judged from the
    /// trees: each of those terms is one of the terms `wider` ANDs together. Then, when this
    /// filter refines `wider`, its rows are exactly those of `wider` that pass prefixTerm().
    bool restImpliedBy(const TFilterProgram& wider) const;
    /// Whether the filter tests anything besides prefixTerm().
    bool hasRest() const noexcept { return m_rest != nullptr; }

    /// Appends to `out`, in their order, the rows among `rows` the filter accepts.
    void select(const std::uint32_t* rows, std::size_t count, std::vector<std::uint32_t>& out) const;
    /// The same, testing only the terms besides prefixTerm(): for rows known to satisfy it.
    void selectRest(const std::uint32_t* rows, std::size_t count, std::vector<std::uint32_t>& out) const;
    /// The same, testing only prefixTerm(): for rows known to satisfy the rest (restImpliedBy).
    void selectTerm(const std::uint32_t* rows, std::size_t count, std::vector<std::uint32_t>& out) const;
    /// The same for the rows `begin` to `end - 1` in store order.
    void selectRange(std::uint32_t begin, std::uint32_t end, std::vector<std::uint32_t>& out) const;

private:
    TFilterProgram() = default;

    static void run(const FilterPredicate* predicate, const std::uint32_t* rows, std::size_t count,
                    std::vector<std::uint32_t>& out);
    void findTerms(const TColumnStore& store);
    bool selectRangeByHeads(std::uint32_t begin, std::uint32_t end, std::vector<std::uint32_t>& out) const;

    std::shared_ptr<const FilterNode> m_tree;
    FilterSize m_size;
    FilterPredicatePtr m_predicate;
    FilterPrefixTerm m_prefix;
    /// The term of m_prefix in the tree, or nullptr.
    const FilterNode* m_prefixNode = nullptr;
    /// The column of m_prefix, or nullptr.
    const StoreColumn* m_prefixColumn = nullptr;
    /// The filter without the prefix term (nullptr: nothing else to test), and its terms.
    FilterPredicatePtr m_rest;
    /// prefixTerm() alone, or nullptr.
    FilterPredicatePtr m_term;
    std::vector<const FilterNode*> m_restTerms;
};

} // namespace qmr

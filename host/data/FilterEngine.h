#pragma once
// Runs a data set's filters: compiles each text once, remembers the last results, and reaches
// new results by the cheapest exact road.
//
// A keystroke in a search turns 'JO%' into 'JOS%', and Backspace turns it back. So the engine
// keeps the results of recent filters (for the current store and order) and, for a new filter:
//   1. returns a remembered result of the same text as it is;
//   2. otherwise tests only the rows of the smallest remembered result it refines (every row it
//      accepts is in there: see filterRefines), or
//   3. the rows an index on the LIKE's column can name by binary search (findPrefixRanges),
//      preferred to road 2 when they are fewer, or when they settle the LIKE by themselves and
//      are not many times more,
//   4. or, failing both, every row.
// Each road tests the candidates with the full compiled filter and keeps their order, so every
// road gives the same rows in the same order.

#include "host/data/TFilterProgram.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace qmr {

class TColumnStore;

/// The rows a data set shows: store row numbers in display order.
using RowList = std::vector<std::uint32_t>;

/// What orders the rows: an index (store rows in order) and its leading key, or the store's order.
struct RowOrdering {
    const std::vector<std::uint32_t>* order = nullptr;
    /// First key column of the index, or -1; usable for prefix ranges only when ascending.
    int keyColumn = -1;
    bool descending = false;
    bool caseInsensitive = false;
};

/// Compiles and evaluates filters for one data set, with a small memory of recent results.
class FilterEngine {
public:
    /// Compiles `text` for `store`; raises EDatabaseError for a rejected text. Changes nothing.
    std::shared_ptr<const TFilterProgram> compile(std::string_view text, const TColumnStore& store) const;

    /// The rows `program` (compiled from `text`) accepts, in `ordering`'s order.
    std::shared_ptr<const RowList> run(const AnsiString& text, std::shared_ptr<const TFilterProgram> program,
                                       const TColumnStore& store, const RowOrdering& ordering);

    /// Forgets every remembered result: the store or the order changed.
    void clear() noexcept { m_recent.clear(); }

    /// Results remembered at most; older ones are forgotten first.
    static constexpr std::size_t kRemembered = 8;

private:
    struct Entry {
        AnsiString text;
        std::shared_ptr<const TFilterProgram> program;
        std::shared_ptr<const RowList> rows;
    };

    const Entry* smallestRefined(const TFilterProgram& program) const;
    void remember(Entry entry);

    std::vector<Entry> m_recent; // most recent last
};

} // namespace qmr

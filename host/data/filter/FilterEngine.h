#pragma once
// Runs a data set's filters: compiles each text once, remembers the last results, and reaches
// new results by the cheapest exact road.
//
// A keystroke in a search turns 'JO%' into 'JOS%', and Backspace turns it back. So the engine
// keeps the results of recent filters (for the current store and order) and, for a new filter:
//   1. returns a remembered result of the same text as it is;
//   2. when it is a remembered result that the index settles a LIKE on (the screen's next key:
//      "base AND UPPER(NOME) LIKE 'JO%'" after "... 'J%'"), the runs of that result's rows the
//      index names by binary search, sharing that result's list: nothing is tested or copied;
//   3. otherwise tests only the rows of the smallest remembered result it refines (every row it
//      accepts is in there: see filterRefines), or
//   4. the rows an index on the LIKE's column can name by binary search (findPrefixRanges),
//      preferred to road 3 when they are fewer, or when they settle the LIKE by themselves and
//      are not many times more; when they settle the whole filter they are the result as they
//      stand, runs of the index's own order,
//   5. or, failing both, every row.
// A search's filters are its base filter and a term on what was typed: "base AND UPPER(NOME)
// LIKE 'JO%'". The engine keeps the programs it compiled whole for as long as the store stands, and
// compiles a text that appends " AND ..." to one of them (in parentheses or not) as that program
// and the appended part alone, so the base is parsed and compiled once per search, not per key.
// The base's own result is the last to be forgotten, for the keys that come back to it.
// Each road keeps the index's order and either tests the candidates with the compiled filter or
// takes only rows the tests would pass, so every road gives the same rows in the same order.

#include <qmr41726/data/filter/TFilterProgram.h>
#include <qmr41726/data/index/FilterRows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace qmr {

class TColumnStore;

/// What orders the rows: an index (store rows in order) and its leading key, or the store's order.
struct RowOrdering {
    std::shared_ptr<const RowList> order;
    /// First key column of the index, or -1; usable for prefix ranges only when ascending.
    int keyColumn = -1;
    bool descending = false;
    bool caseInsensitive = false;
};

/// Compiles and evaluates filters for one data set, with a small memory of recent results.
class FilterEngine {
public:
    /// Compiles `text` for `store`, on a program compiled before when the text appends to its
    /// text; raises EDatabaseError for a rejected text. Changes no result.
    std::shared_ptr<const TFilterProgram> compile(std::string_view text, const TColumnStore& store);
    /// Texts compiled whole (not on a kept program) since the engine was made.
    std::size_t wholeCompiles() const noexcept { return m_wholeCompiles; }

    /// The rows `program` (compiled from `text`) accepts, in `ordering`'s order.
    std::shared_ptr<const FilterRows> run(const AnsiString& text,
                                          std::shared_ptr<const TFilterProgram> program,
                                          const TColumnStore& store, const RowOrdering& ordering);

    /// Forgets every remembered result: the store or the order changed.
    void clear() noexcept { m_recent.clear(); }
    /// Forgets every remembered result but the search's base filter's, which `reorder` puts in the
    /// new order: the order changed in the middle of a search, whose keys keep coming back to it.
    void clearKeepingBase(const std::function<std::shared_ptr<const FilterRows>(const FilterRows&)>& reorder);
    /// Forgets the kept programs as well: the store changed.
    void forgetPrograms() noexcept {
        m_programs.clear();
        m_baseText.clear();
    }
    /// Remembers `rows` as what `program` (compiled from `text`) accepts in the current order:
    /// a result the data set already holds, carried over to a new order.
    void remember(const AnsiString& text, std::shared_ptr<const TFilterProgram> program,
                  std::shared_ptr<const FilterRows> rows) {
        remember(Entry{text, std::move(program), std::move(rows)});
    }

    /// Results remembered at most; older ones are forgotten first.
    static constexpr std::size_t kRemembered = 8;
    /// Programs compiled whole kept at most, for texts that append to them.
    static constexpr std::size_t kKeptPrograms = 4;

private:
    struct Entry {
        AnsiString text;
        std::shared_ptr<const TFilterProgram> program;
        std::shared_ptr<const FilterRows> rows;
    };

    const Entry* smallestRefined(const TFilterProgram& program) const;
    static std::shared_ptr<const FilterRows> narrowByIndex(const Entry& wider, const TFilterProgram& program,
                                                           const TColumnStore& store,
                                                           const RowOrdering& ordering);
    void remember(Entry entry);
    std::shared_ptr<const TFilterProgram> compileOnKept(std::string_view text, const TColumnStore& store);

    struct Kept {
        AnsiString text;
        std::shared_ptr<const TFilterProgram> program;
        /// Whether the text is one parenthesised group: 1 or 0, -1 until asked.
        int oneGroup = -1;
    };

    std::vector<Entry> m_recent;  // most recent last
    std::vector<Kept> m_programs; // most recently used last
    const TColumnStore* m_programsStore = nullptr;
    /// The text of the program a search last built on.
    AnsiString m_baseText;
    std::size_t m_wholeCompiles = 0;
};

} // namespace qmr

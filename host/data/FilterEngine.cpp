#include "host/data/FilterEngine.h"

#include "host/data/ColumnStoreImpl.h"
#include "host/data/PrefixRanges.h"

#include <algorithm>

namespace qmr {

namespace {

// Whether the index runs hold exactly the rows whose value starts with the prefix (an index by
// bytes, or a case-insensitive one serving an UPPER( ) or LOWER( ) test) and the pattern is
// nothing but the prefix and '%': then the runs settle the LIKE and only the rest is tested.
bool rangesSettle(const FilterPrefixTerm& term, const RowOrdering& ordering) {
    return term.wholePattern && (!ordering.caseInsensitive || term.fold != TextFold::None);
}

// When the runs settle the LIKE, their rows are worth testing even if there are a few times more
// of them than of a previous result: that result's rows must each have their text read (in index
// order, so scattered in memory), while the runs' rows are only checked on the rest of the filter.
constexpr std::size_t kSettledRangeAdvantage = 4;

// Tests the rows named by the index runs, keeping index order.
void selectRanges(const TFilterProgram& program, const RowOrdering& ordering,
                  const std::vector<PositionRange>& ranges, RowList& out) {
    const FilterPrefixTerm& term = *program.prefixTerm();
    const bool settled = rangesSettle(term, ordering);
    const std::uint32_t* order = ordering.order->data();
    for (const PositionRange& range : ranges) {
        if (settled)
            program.selectRest(order + range.first, range.second - range.first, out);
        else
            program.select(order + range.first, range.second - range.first, out);
    }
}

} // namespace

std::shared_ptr<const TFilterProgram> FilterEngine::compile(std::string_view text,
                                                            const TColumnStore& store) const {
    for (const Entry& entry : m_recent) {
        if (entry.text == text)
            return entry.program;
    }
    return TFilterProgram::compile(text, store);
}

const FilterEngine::Entry* FilterEngine::smallestRefined(const TFilterProgram& program) const {
    const Entry* best = nullptr;
    for (const Entry& entry : m_recent) {
        const FilterNode* wider = entry.program->tree();
        if (!wider || (best && best->rows->size() <= entry.rows->size()))
            continue;
        if (filterRefines(*program.tree(), *wider))
            best = &entry;
    }
    return best;
}

std::shared_ptr<const RowList> FilterEngine::run(const AnsiString& text,
                                                 std::shared_ptr<const TFilterProgram> program,
                                                 const TColumnStore& store, const RowOrdering& ordering) {
    for (const Entry& entry : m_recent) {
        if (entry.text == text)
            return entry.rows;
    }
    auto rows = std::make_shared<RowList>();
    const Entry* narrowFrom = program->tree() ? smallestRefined(*program) : nullptr;
    std::size_t candidates = narrowFrom ? narrowFrom->rows->size() : std::size_t(store.rowCount());

    std::vector<PositionRange> ranges;
    const FilterPrefixTerm* term = program->prefixTerm();
    bool useRanges = false;
    std::size_t covered = 0;
    if (term && ordering.order && !ordering.descending && ordering.keyColumn == term->column) {
        const StoreColumn& column = store.impl().columns[std::size_t(term->column)];
        covered = findPrefixRanges(column, *ordering.order, ordering.caseInsensitive, *term, ranges);
        useRanges = covered < candidates || (narrowFrom && rangesSettle(*term, ordering) &&
                                             covered <= kSettledRangeAdvantage * candidates);
    }

    if (useRanges) {
        rows->reserve(covered); // the most it can hold: no regrowth while it fills
        selectRanges(*program, ordering, ranges, *rows);
    } else if (narrowFrom)
        program->select(narrowFrom->rows->data(), narrowFrom->rows->size(), *rows);
    else if (ordering.order)
        program->select(ordering.order->data(), ordering.order->size(), *rows);
    else
        program->selectRange(0, std::uint32_t(store.rowCount()), *rows);

    remember({text, std::move(program), rows});
    return rows;
}

void FilterEngine::remember(Entry entry) {
    if (m_recent.size() >= kRemembered)
        m_recent.erase(m_recent.begin());
    m_recent.push_back(std::move(entry));
}

} // namespace qmr

#include <qmr41726/data/filter/FilterEngine.h>

#include <qmr41726/data/filter/FilterLexer.h>
#include <qmr41726/data/index/PrefixRanges.h>
#include <qmr41726/data/store/ColumnStoreImpl.h>

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

// Whether the index can name a prefix term's rows by binary search.
bool indexServes(const FilterPrefixTerm* term, const RowOrdering& ordering) {
    return term && ordering.order && !ordering.descending && ordering.keyColumn == term->column;
}

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
                                                            const TColumnStore& store) {
    for (const Entry& entry : m_recent) {
        if (entry.text == text)
            return entry.program;
    }
    if (m_programsStore != &store) {
        forgetPrograms();
        m_programsStore = &store;
    }
    if (auto program = compileOnKept(text, store))
        return program;
    std::shared_ptr<const TFilterProgram> program = TFilterProgram::compile(text, store);
    ++m_wholeCompiles;
    if (m_programs.size() >= kKeptPrograms)
        m_programs.erase(m_programs.begin());
    m_programs.push_back({AnsiString(text), program});
    return program;
}

// A kept program of the same text, or built on the kept program whose text `text` appends to.
std::shared_ptr<const TFilterProgram> FilterEngine::compileOnKept(std::string_view text,
                                                                  const TColumnStore& store) {
    static constexpr std::string_view kJoin = " AND ";
    for (auto kept = m_programs.rbegin(); kept != m_programs.rend(); ++kept) {
        const std::string_view base = kept->text;
        std::shared_ptr<const TFilterProgram> program;
        if (text == base)
            program = kept->program;
        else if (text.size() > base.size() + kJoin.size() && text.starts_with(base) &&
                 text.substr(base.size()).starts_with(kJoin)) {
            const std::size_t offset = base.size() + kJoin.size();
            if (kept->program->tree() && kept->program->tree()->kind == FilterNode::Kind::Or &&
                kept->oneGroup < 0)
                kept->oneGroup = isOneFilterGroup(base);
            program = TFilterProgram::compileAppended(kept->program, false, kept->oneGroup > 0,
                                                      text.substr(offset), int(offset), store);
        } else if (text.size() > base.size() + 2 + kJoin.size() && text.front() == '(' &&
                   text.substr(1).starts_with(base) && text[base.size() + 1] == ')' &&
                   text.substr(base.size() + 2).starts_with(kJoin)) {
            const std::size_t offset = base.size() + 2 + kJoin.size();
            program = TFilterProgram::compileAppended(kept->program, true, false, text.substr(offset),
                                                      int(offset), store);
        }
        if (!program)
            continue;
        if (text != base)
            m_baseText = kept->text;
        std::rotate(kept.base() - 1, kept.base(), m_programs.end());
        return program;
    }
    return nullptr;
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

// Road 2: the runs of `wider`'s rows that the index names, when they are exactly the rows of
// `program`; nullptr when they might not be.
std::shared_ptr<const FilterRows> FilterEngine::narrowByIndex(const Entry& wider,
                                                              const TFilterProgram& program,
                                                              const TColumnStore& store,
                                                              const RowOrdering& ordering) {
    const FilterPrefixTerm* term = program.prefixTerm();
    if (!indexServes(term, ordering) || !rangesSettle(*term, ordering) ||
        !program.restImpliedBy(*wider.program))
        return nullptr;
    // Every result is in the index's order, so each of `wider`'s runs is ordered by the index's
    // key and a binary search within it finds its rows that start with the prefix.
    const StoreColumn& column = store.impl().columns[std::size_t(term->column)];
    const RowList& source = *wider.rows->source();
    std::vector<PositionRange> runs;
    for (const PositionRange& run : wider.rows->runs())
        findPrefixRanges(column, std::span(source).subspan(run.first, run.second - run.first),
                         ordering.caseInsensitive, *term, runs, run.first);
    return std::make_shared<const FilterRows>(wider.rows->source(), std::move(runs));
}

std::shared_ptr<const FilterRows> FilterEngine::run(const AnsiString& text,
                                                    std::shared_ptr<const TFilterProgram> program,
                                                    const TColumnStore& store, const RowOrdering& ordering) {
    for (const Entry& entry : m_recent) {
        if (entry.text == text)
            return entry.rows;
    }
    const Entry* narrowFrom = program->tree() ? smallestRefined(*program) : nullptr;
    if (narrowFrom) {
        if (auto rows = narrowByIndex(*narrowFrom, *program, store, ordering)) {
            remember({text, std::move(program), rows});
            return rows;
        }
    }
    std::size_t candidates = narrowFrom ? narrowFrom->rows->size() : std::size_t(store.rowCount());

    std::vector<PositionRange> ranges;
    const FilterPrefixTerm* term = program->prefixTerm();
    bool useRanges = false;
    std::size_t covered = 0;
    if (indexServes(term, ordering)) {
        const StoreColumn& column = store.impl().columns[std::size_t(term->column)];
        covered = findPrefixRanges(column, *ordering.order, ordering.caseInsensitive, *term, ranges);
        useRanges = covered < candidates || (narrowFrom && rangesSettle(*term, ordering) &&
                                             covered <= kSettledRangeAdvantage * candidates);
    }

    std::shared_ptr<const FilterRows> result;
    if (useRanges && rangesSettle(*term, ordering) && !program->hasRest()) {
        // The runs are the whole answer: they stand as runs of the index's order, uncopied.
        result = std::make_shared<const FilterRows>(ordering.order, std::move(ranges));
    } else {
        RowList rows;
        if (useRanges) {
            rows.reserve(covered); // the most it can hold: no regrowth while it fills
            selectRanges(*program, ordering, ranges, rows);
        } else if (narrowFrom && term && program->restImpliedBy(*narrowFrom->program))
            // The rows passed the rest already (a base filter, however large): only the term is new.
            narrowFrom->rows->forEachRun([&](const std::uint32_t* from, std::size_t count) {
                program->selectTerm(from, count, rows);
            });
        else if (narrowFrom)
            narrowFrom->rows->forEachRun(
                [&](const std::uint32_t* from, std::size_t count) { program->select(from, count, rows); });
        else if (ordering.order)
            program->select(ordering.order->data(), ordering.order->size(), rows);
        else
            program->selectRange(0, std::uint32_t(store.rowCount()), rows);
        result = std::make_shared<const FilterRows>(std::move(rows));
    }
    remember({text, std::move(program), result});
    return result;
}

void FilterEngine::clearKeepingBase(
    const std::function<std::shared_ptr<const FilterRows>(const FilterRows&)>& reorder) {
    const auto base = std::find_if(m_recent.begin(), m_recent.end(),
                                   [&](const Entry& entry) { return entry.text == m_baseText; });
    if (m_baseText.empty() || base == m_recent.end()) {
        clear();
        return;
    }
    Entry kept{std::move(base->text), std::move(base->program), reorder(*base->rows)};
    m_recent.clear();
    m_recent.push_back(std::move(kept));
}

void FilterEngine::remember(Entry entry) {
    std::erase_if(m_recent, [&](const Entry& old) { return old.text == entry.text; });
    if (m_recent.size() >= kRemembered) {
        // The oldest goes, unless it is the base of the search: its keys keep coming back to it.
        const bool keepFirst = m_recent.front().text == m_baseText;
        m_recent.erase(m_recent.begin() + (keepFirst ? 1 : 0));
    }
    m_recent.push_back(std::move(entry));
}

} // namespace qmr

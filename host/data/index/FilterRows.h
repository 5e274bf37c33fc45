#pragma once
// The rows a filter lets through, kept as runs of positions in a list shared with other results
// or with the index, so that narrowing a search by the index costs a few binary searches instead
// of a copy of every row it keeps.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace qmr {

/// Store row numbers in display order.
using RowList = std::vector<std::uint32_t>;

/// A run of positions [first, second) in a row list.
using PositionRange = std::pair<std::uint32_t, std::uint32_t>;

/// A filter's rows in display order: the runs `runs()` of the shared list `source()`, one after
/// another. Immutable once made, so results and data sets share it freely.
class FilterRows {
public:
    /// Rows of their own.
    explicit FilterRows(RowList rows);
    /// The runs (in order, none empty needed) of `source`; `source` stays alive while these do.
    FilterRows(std::shared_ptr<const RowList> source, std::vector<PositionRange> runs);

    std::size_t size() const noexcept { return m_size; }
    bool empty() const noexcept { return m_size == 0; }
    /// The store row at `position` (from 0, below size()).
    std::uint32_t operator[](std::size_t position) const noexcept;
    /// The position of store row `row`, or -1 when it is not among these rows.
    long long positionOf(std::uint32_t row) const noexcept;

    const std::shared_ptr<const RowList>& source() const noexcept { return m_source; }
    const std::vector<PositionRange>& runs() const noexcept { return m_runs; }
    /// Calls `visit(const std::uint32_t* rows, std::size_t count)` for each run, in order.
    template <class Visit> void forEachRun(Visit&& visit) const {
        for (const PositionRange& run : m_runs)
            visit(m_source->data() + run.first, std::size_t(run.second - run.first));
    }

private:
    std::shared_ptr<const RowList> m_source;
    std::vector<PositionRange> m_runs;
    /// The position in these rows of each run's first row.
    std::vector<std::size_t> m_starts;
    std::size_t m_size = 0;
};

} // namespace qmr

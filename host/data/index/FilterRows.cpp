#include <qmr41726/data/index/FilterRows.h>

#include <algorithm>

namespace qmr {

FilterRows::FilterRows(RowList rows) : FilterRows(std::make_shared<const RowList>(std::move(rows)), {}) {
    if (!m_source->empty()) {
        m_runs.emplace_back(0, std::uint32_t(m_source->size()));
        m_starts.push_back(0);
        m_size = m_source->size();
    }
}

FilterRows::FilterRows(std::shared_ptr<const RowList> source, std::vector<PositionRange> runs)
    : m_source(std::move(source)) {
    // Empty runs would make two runs start at one position; the lookups want them gone.
    std::erase_if(runs, [](const PositionRange& run) { return run.first >= run.second; });
    m_runs = std::move(runs);
    m_starts.reserve(m_runs.size());
    for (const PositionRange& run : m_runs) {
        m_starts.push_back(m_size);
        m_size += run.second - run.first;
    }
}

std::uint32_t FilterRows::operator[](std::size_t position) const noexcept {
    // The last run starting at or before `position` holds it; a search has few runs to look at.
    const auto run =
        std::size_t(std::upper_bound(m_starts.begin(), m_starts.end(), position) - m_starts.begin()) - 1;
    return (*m_source)[m_runs[run].first + (position - m_starts[run])];
}

long long FilterRows::positionOf(std::uint32_t row) const noexcept {
    for (std::size_t i = 0; i < m_runs.size(); ++i) {
        const auto begin = m_source->begin() + m_runs[i].first;
        const auto end = m_source->begin() + m_runs[i].second;
        const auto found = std::find(begin, end, row);
        if (found != end)
            return (long long)(m_starts[i] + std::size_t(found - begin));
    }
    return -1;
}

} // namespace qmr

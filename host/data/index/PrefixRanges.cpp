#include <qmr41726/data/index/PrefixRanges.h>

#include <algorithm>
#include <numeric>

namespace qmr {

namespace {

// The key an index sorts by at byte `depth` of a row's value: -2 for null (nulls come first),
// -1 past the end of the text (shorter texts come first), else the byte, upper-cased for a
// case-insensitive index.
struct KeyAt {
    const StoreColumn& column;
    bool caseInsensitive;

    int operator()(std::uint32_t row, std::size_t depth) const {
        if (depth == 0 && column.isNull(row))
            return -2;
        const std::string_view text = column.string(row);
        if (depth >= text.size())
            return -1;
        const char c = caseInsensitive ? upperAnsi(text[depth]) : text[depth];
        return static_cast<unsigned char>(c);
    }
};

// The index key bytes (ascending) a value byte may have for its folded form to equal `wanted`.
std::vector<int> keyBytesFor(char wanted, TextFold fold, bool caseInsensitive) {
    const bool isUpper = wanted >= 'A' && wanted <= 'Z';
    const bool isLower = wanted >= 'a' && wanted <= 'z';
    if ((fold == TextFold::Upper && isLower) || (fold == TextFold::Lower && isUpper))
        return {}; // UPPER(x) never holds a small letter, nor LOWER(x) a capital
    if (caseInsensitive)
        return {static_cast<unsigned char>(upperAnsi(wanted))};
    if (fold == TextFold::None || (!isUpper && !isLower))
        return {static_cast<unsigned char>(wanted)};
    return {static_cast<unsigned char>(upperAnsi(wanted)), static_cast<unsigned char>(lowerAnsi(wanted))};
}

class RangeFinder {
public:
    RangeFinder(std::span<const std::uint32_t> order, KeyAt key, const FilterPrefixTerm& term,
                bool caseInsensitive, std::uint32_t offset, std::vector<PositionRange>& out)
        : m_order(order), m_key(key), m_term(term), m_caseInsensitive(caseInsensitive), m_offset(offset),
          m_out(out) {}

    // Rows in [first, last) share the prefix's first `depth` bytes; split them on the next one.
    void narrow(std::uint32_t first, std::uint32_t last, std::size_t depth) {
        if (first == last)
            return;
        if (depth == m_term.prefix.size()) {
            m_out.emplace_back(first + m_offset, last + m_offset);
            return;
        }
        for (int byte : keyBytesFor(m_term.prefix[depth], m_term.fold, m_caseInsensitive)) {
            const auto begin = m_order.begin();
            const auto low = std::partition_point(
                begin + first, begin + last, [&](std::uint32_t row) { return m_key(row, depth) < byte; });
            const auto high = std::partition_point(
                low, begin + last, [&](std::uint32_t row) { return m_key(row, depth) <= byte; });
            narrow(std::uint32_t(low - begin), std::uint32_t(high - begin), depth + 1);
        }
    }

private:
    std::span<const std::uint32_t> m_order;
    KeyAt m_key;
    const FilterPrefixTerm& m_term;
    bool m_caseInsensitive;
    std::uint32_t m_offset;
    std::vector<PositionRange>& m_out;
};

} // namespace

std::size_t findPrefixRanges(const StoreColumn& column, std::span<const std::uint32_t> rows,
                             bool caseInsensitiveOrder, const FilterPrefixTerm& term,
                             std::vector<PositionRange>& ranges, std::uint32_t offset) {
    const std::size_t before = ranges.size();
    RangeFinder finder(rows, KeyAt{column, caseInsensitiveOrder}, term, caseInsensitiveOrder, offset, ranges);
    finder.narrow(0, std::uint32_t(rows.size()), 0);
    return std::accumulate(
        ranges.begin() + std::ptrdiff_t(before), ranges.end(), std::size_t(0),
        [](std::size_t sum, const PositionRange& r) { return sum + (r.second - r.first); });
}

} // namespace qmr

#include "host/data/IndexOrder.h"

#include "host/data/ColumnStoreImpl.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <utility>

namespace qmr {

namespace {

int compareText(std::string_view a, std::string_view b, bool caseInsensitive) {
    if (!caseInsensitive) {
        const int c = a.compare(b);
        return (c > 0) - (c < 0);
    }
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(upperAnsi(a[i]));
        const auto y = static_cast<unsigned char>(upperAnsi(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return (a.size() > b.size()) - (a.size() < b.size());
}

template <class T> int compareValues(T a, T b) {
    return (a > b) - (a < b);
}

// Orders two rows by one key, nulls first, ignoring the key's direction.
int compareByKey(const StoreColumn& column, const IndexKey& key, std::uint32_t a, std::uint32_t b) {
    const bool nullA = column.isNull(a);
    const bool nullB = column.isNull(b);
    if (nullA || nullB)
        return int(nullB) - int(nullA);
    switch (column.def.type) {
    case TFieldType::ftString:
        return compareText(column.string(a), column.string(b), key.caseInsensitive);
    case TFieldType::ftInteger:
        return compareValues(column.integers[a], column.integers[b]);
    case TFieldType::ftBoolean:
        return compareValues(column.booleans[a], column.booleans[b]);
    case TFieldType::ftFloat:
    case TFieldType::ftDateTime:
        return compareValues(column.reals[a], column.reals[b]);
    }
    return 0;
}

// Bytes 8 * depth to 8 * depth + 7 of a text as a big-endian number, zero past its end: if two
// texts equal up to byte 8 * depth have different numbers, the numbers order them as the texts.
std::uint64_t textKey(std::string_view text, bool caseInsensitive, std::size_t depth) {
    std::uint64_t out = 0;
    for (std::size_t i = depth * 8; i < depth * 8 + 8; ++i) {
        const char c = i < text.size() ? text[i] : '\0';
        out = (out << 8) | static_cast<unsigned char>(caseInsensitive ? upperAnsi(c) : c);
    }
    return out;
}

// A 64-bit number that orders like the row's (non-null) value of the first key: exactly for
// numbers and Booleans, and for strings by their first 8 bytes (see textKey).
std::uint64_t sortKey(const StoreColumn& column, const IndexKey& key, std::uint32_t row) {
    switch (column.def.type) {
    case TFieldType::ftString:
        return textKey(column.string(row), key.caseInsensitive, 0);
    case TFieldType::ftInteger:
        return std::uint64_t(column.integers[row]) ^ (std::uint64_t(1) << 63);
    case TFieldType::ftBoolean:
        return column.booleans[row];
    case TFieldType::ftFloat:
    case TFieldType::ftDateTime: {
        const double value = column.reals[row] == 0 ? 0.0 : column.reals[row]; // -0 orders as 0
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return (bits >> 63) ? ~bits : bits | (std::uint64_t(1) << 63);
    }
    }
    return 0;
}

// A row with the key it sorts by. For a text, also its next 8 bytes and its length, taken in the
// same pass over the texts in store order: once sorted, rows are scattered over the text arena,
// and most runs of equal first bytes settle on these without reading any text again.
struct SortItem {
    std::uint64_t key;
    std::uint32_t row;
    std::uint32_t length = 0;
    std::uint64_t next = 0;
};

// For a column of few values: each value number's place among the sorted values, values that
// compare equal (e.g. 'abc' and 'ABC' in a case-insensitive key) sharing one place. Sorting the
// dictionary once turns the index into a counting sort on one byte a row.
std::vector<std::uint64_t> dictionaryRanks(const StoreColumn& column, const IndexKey& key) {
    const std::vector<std::string>& values = column.dictionary;
    std::vector<std::uint32_t> sorted(values.size());
    std::iota(sorted.begin(), sorted.end(), 0u);
    const auto compare = [&](std::uint32_t a, std::uint32_t b) {
        return compareText(values[a], values[b], key.caseInsensitive);
    };
    std::sort(sorted.begin(), sorted.end(),
              [&](std::uint32_t a, std::uint32_t b) { return compare(a, b) < 0; });
    std::vector<std::uint64_t> ranks(values.size());
    std::uint64_t rank = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && compare(sorted[i - 1], sorted[i]) != 0)
            ++rank;
        ranks[sorted[i]] = key.descending ? ~rank : rank;
    }
    return ranks;
}

// Sorts by key, keeping the order of equal keys: a byte at a time from the lowest, skipping the
// bytes every key shares. Eight passes over the items beat a comparison sort's twenty.
void radixSortByKey(std::vector<SortItem>& items) {
    std::vector<std::array<std::uint32_t, 256>> counts(8);
    for (auto& c : counts)
        c.fill(0);
    for (const SortItem& item : items) {
        for (int b = 0; b < 8; ++b)
            ++counts[std::size_t(b)][(item.key >> (8 * b)) & 0xFF];
    }
    std::vector<SortItem> buffer(items.size());
    for (int b = 0; b < 8; ++b) {
        auto& count = counts[std::size_t(b)];
        if (std::find(count.begin(), count.end(), std::uint32_t(items.size())) != count.end())
            continue;
        std::uint32_t position = 0;
        for (std::uint32_t& c : count)
            position += std::exchange(c, position);
        for (const SortItem& item : items)
            buffer[count[(item.key >> (8 * b)) & 0xFF]++] = item;
        items.swap(buffer);
    }
}

class IndexSorter {
public:
    IndexSorter(const TColumnStore& store, const std::vector<IndexKey>& keys)
        : m_columns(store.impl().columns), m_keys(keys) {}

    // Whole comparison of two rows over every key, each in its direction; then store order.
    bool less(std::uint32_t a, std::uint32_t b, std::size_t firstKey) const {
        for (std::size_t k = firstKey; k < m_keys.size(); ++k) {
            const IndexKey& key = m_keys[k];
            const int c = compareByKey(m_columns[std::size_t(key.column)], key, a, b);
            if (c != 0)
                return key.descending ? c > 0 : c < 0;
        }
        return a < b;
    }

    std::vector<std::uint32_t> run(std::uint32_t rowCount) const {
        const IndexKey& first = m_keys.front();
        const StoreColumn& column = m_columns[std::size_t(first.column)];
        std::vector<std::uint32_t> nulls;
        std::vector<SortItem> items;
        items.reserve(rowCount);
        const bool isText = column.def.type == TFieldType::ftString;
        const bool coded = isText && column.isCoded();
        if (coded)
            collectCodedItems(column, first, rowCount, items, nulls);
        else if (isText)
            collectTextItems(column, first, rowCount, items, nulls);
        else
            collectItems(column, first, rowCount, items, nulls);
        radixSortByKey(items);
        if (isText && !coded)
            forEachRun(items.begin(), items.end(),
                       [&](Iterator b, Iterator e) { settleRun(b, e, column, first, 0); });
        else if (m_keys.size() > 1)
            settleFurtherKeys(items);
        std::sort(nulls.begin(), nulls.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return less(a, b, 1); });

        std::vector<std::uint32_t> order;
        order.reserve(rowCount);
        if (!first.descending)
            order.insert(order.end(), nulls.begin(), nulls.end());
        for (const SortItem& item : items)
            order.push_back(item.row);
        if (first.descending)
            order.insert(order.end(), nulls.begin(), nulls.end());
        return order;
    }

private:
    using Iterator = std::vector<SortItem>::iterator;

    static void collectItems(const StoreColumn& column, const IndexKey& first, std::uint32_t rowCount,
                             std::vector<SortItem>& items, std::vector<std::uint32_t>& nulls) {
        for (std::uint32_t row = 0; row < rowCount; ++row) {
            if (column.isNull(row))
                nulls.push_back(row);
            else
                items.push_back(
                    {first.descending ? ~sortKey(column, first, row) : sortKey(column, first, row), row});
        }
    }

    static void collectTextItems(const StoreColumn& column, const IndexKey& first, std::uint32_t rowCount,
                                 std::vector<SortItem>& items, std::vector<std::uint32_t>& nulls) {
        const std::uint64_t flip = first.descending ? ~std::uint64_t(0) : 0;
        for (std::uint32_t row = 0; row < rowCount; ++row) {
            if (column.isNull(row)) {
                nulls.push_back(row);
                continue;
            }
            const std::string_view text = column.string(row);
            items.push_back({textKey(text, first.caseInsensitive, 0) ^ flip, row, std::uint32_t(text.size()),
                             textKey(text, first.caseInsensitive, 1) ^ flip});
        }
    }

    // A coded column's key is the whole value's rank, so equal keys are equal values and only
    // further keys are left to settle.
    static void collectCodedItems(const StoreColumn& column, const IndexKey& first, std::uint32_t rowCount,
                                  std::vector<SortItem>& items, std::vector<std::uint32_t>& nulls) {
        const std::vector<std::uint64_t> ranks = dictionaryRanks(column, first);
        const std::uint8_t* codes = column.codes.data();
        for (std::uint32_t row = 0; row < rowCount; ++row) {
            if (column.isNull(row))
                nulls.push_back(row);
            else
                items.push_back({ranks[codes[row]], row});
        }
    }

    // Numbers and Booleans: the key is the whole first value, and the radix sort keeps equal keys
    // in row order; with further keys, each run of equal keys is sorted on them.
    void settleFurtherKeys(std::vector<SortItem>& items) const {
        forEachRun(items.begin(), items.end(), [&](Iterator begin, Iterator end) {
            std::sort(begin, end,
                      [&](const SortItem& a, const SortItem& b) { return less(a.row, b.row, 1); });
        });
    }

    // Calls `settle` on every run of two or more items with equal keys.
    template <class Settle> static void forEachRun(Iterator begin, Iterator end, Settle settle) {
        for (Iterator run = begin; run != end;) {
            const Iterator runEnd =
                std::find_if(run, end, [&](const SortItem& i) { return i.key != run->key; });
            if (runEnd - run > 1)
                settle(run, runEnd);
            run = runEnd;
        }
    }

    // Texts, after the first 8 bytes: runs of equal keys are sorted again on their next 8 bytes
    // (read once a row, not once a comparison) until every text of a run has been read whole;
    // such a run is settled by the full comparison, which ends on the row number.
    void sortTexts(Iterator begin, Iterator end, const StoreColumn& column, const IndexKey& key,
                   std::size_t depth) const {
        std::sort(begin, end, [](const SortItem& a, const SortItem& b) { return a.key < b.key; });
        forEachRun(begin, end, [&](Iterator b, Iterator e) { settleRun(b, e, column, key, depth); });
    }

    void settleRun(Iterator begin, Iterator end, const StoreColumn& column, const IndexKey& key,
                   std::size_t depth) const {
        const std::size_t read = (depth + 1) * 8;
        const bool allRead = std::all_of(begin, end, [&](const SortItem& i) { return i.length <= read; });
        if (allRead) {
            // Every byte was in the keys, which were equal: the texts differ at most in trailing
            // zero bytes, so the shorter comes first, then further keys and store order decide.
            std::sort(begin, end, [&](const SortItem& a, const SortItem& b) {
                if (a.length != b.length)
                    return key.descending ? a.length > b.length : a.length < b.length;
                return less(a.row, b.row, 1);
            });
            return;
        }
        for (Iterator i = begin; i != end; ++i) {
            if (depth == 0) {
                i->key = i->next;
                continue;
            }
            const std::uint64_t next = textKey(column.string(i->row), key.caseInsensitive, depth + 1);
            i->key = key.descending ? ~next : next;
        }
        sortTexts(begin, end, column, key, depth + 1);
    }

    const std::vector<StoreColumn>& m_columns;
    const std::vector<IndexKey>& m_keys;
};

} // namespace

std::vector<std::uint32_t> buildIndexOrder(const TColumnStore& store, const std::vector<IndexKey>& keys) {
    if (keys.empty()) {
        std::vector<std::uint32_t> order(std::size_t(store.rowCount()));
        std::iota(order.begin(), order.end(), 0u);
        return order;
    }
    return IndexSorter(store, keys).run(std::uint32_t(store.rowCount()));
}

} // namespace qmr

#include "host/data/IndexOrder.h"

#include "host/data/ColumnStoreImpl.h"

#include <algorithm>
#include <cstring>
#include <numeric>

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

// A 64-bit number that orders like the row's (non-null) value of the first key: exactly for
// numbers and Booleans, and for strings by their first 8 bytes (ties are settled in full).
std::uint64_t sortKey(const StoreColumn& column, const IndexKey& key, std::uint32_t row) {
    switch (column.def.type) {
    case TFieldType::ftString: {
        const std::string_view text = column.string(row);
        std::uint64_t out = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            const char c = i < text.size() ? text[i] : '\0';
            out = (out << 8) | static_cast<unsigned char>(key.caseInsensitive ? upperAnsi(c) : c);
        }
        return out;
    }
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

struct SortItem {
    std::uint64_t key;
    std::uint32_t row;
};

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
        for (std::uint32_t row = 0; row < rowCount; ++row) {
            if (column.isNull(row))
                nulls.push_back(row);
            else
                items.push_back(
                    {first.descending ? ~sortKey(column, first, row) : sortKey(column, first, row), row});
        }
        // Equal 64-bit keys fall back to the whole comparison (strings longer than 8 bytes, and the
        // further keys), which ends on the row number: the order is stable.
        const bool keyIsWhole = column.def.type != TFieldType::ftString;
        std::sort(items.begin(), items.end(), [&](const SortItem& a, const SortItem& b) {
            if (a.key != b.key)
                return a.key < b.key;
            return less(a.row, b.row, keyIsWhole ? 1 : 0);
        });
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

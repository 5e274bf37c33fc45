#include "host/data/IndexOrder.h"

#include "host/data/ColumnStoreImpl.h"

#include <algorithm>
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

// Orders two rows by one key, nulls first.
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

} // namespace

std::vector<std::uint32_t> buildIndexOrder(const TColumnStore& store, const std::vector<IndexKey>& keys) {
    std::vector<std::uint32_t> order(std::size_t(store.rowCount()));
    std::iota(order.begin(), order.end(), 0u);
    const auto& columns = store.impl().columns;
    // The row number as the last key makes the unstable sort stable.
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        for (const IndexKey& key : keys) {
            const int c = compareByKey(columns[std::size_t(key.column)], key, a, b);
            if (c != 0)
                return key.descending ? c > 0 : c < 0;
        }
        return a < b;
    });
    return order;
}

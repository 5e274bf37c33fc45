// Index orders against a plain stable sort: texts sharing long beginnings, zero bytes, case
// folding, columns of few values, both directions and further keys, on one thread and two.

#include "DataTestSupport.h"

#include <qmr41726/data/index/IndexOrder.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

using namespace qmr;

namespace {

struct Row {
    std::optional<std::string> text;
    long long number;
};

int compareText(const std::string& a, const std::string& b, bool caseInsensitive) {
    const std::string x = caseInsensitive ? UpperCase(a) : a;
    const std::string y = caseInsensitive ? UpperCase(b) : b;
    return x < y ? -1 : x > y ? 1 : 0; // std::string orders bytes as unsigned
}

// The order a reader of IndexOrder.h expects, written the slow, obvious way.
std::vector<std::uint32_t> expectedOrder(const std::vector<Row>& rows, bool descending,
                                         bool caseInsensitive) {
    std::vector<std::uint32_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const Row& x = rows[a];
        const Row& y = rows[b];
        int c = 0;
        if (!x.text || !y.text)
            c = int(bool(x.text)) - int(bool(y.text));
        else
            c = compareText(*x.text, *y.text, caseInsensitive);
        if (c != 0)
            return descending ? c > 0 : c < 0;
        return x.number < y.number;
    });
    return order;
}

} // namespace

TEST(IndexOrder, matchesAPlainStableSort) {
    std::mt19937 random(99);
    // Letters at both ends of a-z and the bytes beside them, which case folding must leave, and
    // bytes from 0x80 whose low seven bits spell a small letter.
    const std::string alphabet("aAbZz`{\0\xE7\xFA", 10);
    for (int round = 0; round < 20; ++round) {
        std::vector<Row> rows;
        std::vector<std::vector<Cell>> cells;
        const std::string common(random() % 12, 'a');
        const auto randomText = [&] {
            std::string text = random() % 2 ? common : "";
            for (int n = int(random() % 14); n > 0; --n)
                text += alphabet[random() % alphabet.size()];
            return text;
        };
        // Every other round draws from a few values, so the column is stored as value numbers.
        std::vector<std::string> vocabulary;
        if (round % 2 == 1) {
            for (int n = 0; n < 20; ++n) {
                vocabulary.push_back(randomText());
                vocabulary.push_back(UpperCase(vocabulary.back())); // equal when case is ignored
            }
        }
        // Enough rows that those sharing a long beginning make runs long enough for the radix road.
        for (int i = 0; i < 1200; ++i) {
            Row row;
            if (random() % 15 != 0)
                row.text = vocabulary.empty() ? randomText() : vocabulary[random() % vocabulary.size()];
            row.number = (long long)(random() % 3);
            rows.push_back(row);
            cells.push_back({row.text ? Cell{*row.text} : Cell{}, row.number});
        }
        const auto store =
            makeStore({fieldDef("T", TFieldType::ftString), fieldDef("N", TFieldType::ftInteger)}, cells);
        for (bool descending : {false, true}) {
            for (bool caseInsensitive : {false, true}) {
                const std::vector<IndexKey> keys{{0, descending, caseInsensitive}, {1, false, false}};
                const auto expected = expectedOrder(rows, descending, caseInsensitive);
                ASSERT_EQ(buildIndexOrder(*store, keys), expected)
                    << "round " << round << " descending " << descending << " case-insensitive "
                    << caseInsensitive;
                // The same rows shared between two threads, as large stores are.
                ASSERT_EQ(buildIndexOrder(*store, keys, 1), expected)
                    << "split, round " << round << " descending " << descending;
                // The text alone: equal texts keep store order.
                std::vector<Row> textOnly = rows;
                for (Row& row : textOnly)
                    row.number = 0;
                ASSERT_EQ(buildIndexOrder(*store, {{0, descending, caseInsensitive}}),
                          expectedOrder(textOnly, descending, caseInsensitive))
                    << "text alone, round " << round << " descending " << descending;
            }
        }
    }
}

// Numbers split between two threads: the highest byte that differs parts the rows, negative
// numbers and nulls included, and equal numbers keep store order.
TEST(IndexOrder, numbersSplitBetweenThreadsMatchAPlainStableSort) {
    std::mt19937 random(7);
    for (const long long spread : {3LL, 1000LL, 1LL << 40}) {
        std::vector<std::vector<Cell>> cells;
        std::vector<std::optional<long long>> values;
        for (int i = 0; i < 3000; ++i) {
            std::optional<long long> v;
            if (random() % 20 != 0)
                v = (long long)(random() % std::uint64_t(2 * spread)) - spread;
            values.push_back(v);
            cells.push_back({v ? Cell{*v} : Cell{}});
        }
        const auto store = makeStore({fieldDef("N", TFieldType::ftInteger)}, cells);
        for (bool descending : {false, true}) {
            std::vector<std::uint32_t> expected(values.size());
            std::iota(expected.begin(), expected.end(), 0u);
            std::stable_sort(expected.begin(), expected.end(), [&](std::uint32_t a, std::uint32_t b) {
                if (!values[a] || !values[b])
                    return descending ? bool(values[a]) && !values[b] : !values[a] && bool(values[b]);
                return descending ? *values[a] > *values[b] : *values[a] < *values[b];
            });
            EXPECT_EQ(buildIndexOrder(*store, {{0, descending, false}}, 1), expected)
                << "spread " << spread << " descending " << descending;
        }
    }
}

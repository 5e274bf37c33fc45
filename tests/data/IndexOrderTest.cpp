// Index orders against a plain stable sort: texts sharing long beginnings, zero bytes, case
// folding, columns of few values, both directions and further keys.

#include "DataTestSupport.h"

#include "host/data/IndexOrder.h"

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
    const std::string alphabet("aAbZ\0\xE7", 6);
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
        for (int i = 0; i < 400; ++i) {
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
                const auto order =
                    buildIndexOrder(*store, {{0, descending, caseInsensitive}, {1, false, false}});
                ASSERT_EQ(order, expectedOrder(rows, descending, caseInsensitive))
                    << "round " << round << " descending " << descending << " case-insensitive "
                    << caseInsensitive;
            }
        }
    }
}

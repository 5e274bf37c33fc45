// Filters nested or chained deeper than the parser follows are rejected with an error naming the
// position, never by running out of stack; filters up to the limits still select their rows.

#include "DataTestSupport.h"

#include <qmr41726/data/dataset/TClientDataSet.h>

#include <gtest/gtest.h>

using namespace qmr;

namespace {

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::shared_ptr<const TColumnStore> codes() {
    return makeStore({fieldDef("A", TFieldType::ftInteger), fieldDef("S", TFieldType::ftString, 5)},
                     {{1LL, std::string("x")}, {2LL, std::string("y")}, {1LL, Cell{}}});
}

} // namespace

TEST(FilterDepth, tooDeepFiltersAreRejectedAtTheirPositionAndChangeNothing) {
    const struct {
        const char* name;
        std::string text;
        const char* message;
    } cases[] = {
        {"parentheses", std::string(1000, '(') + "A = 1" + std::string(1000, ')'),
         "Filter error at position 101: more than 100 nested levels"},
        {"NOT", repeated("NOT ", 1000) + "A = 1",
         "Filter error at position 401: more than 100 nested levels"},
        {"UPPER", repeated("UPPER(", 1000) + "S" + std::string(1000, ')') + " = 'X'",
         "Filter error at position 606: more than 100 nested levels"},
        {"AND chain", "A = 1" + repeated(" AND A = 1", 5000),
         "Filter error at position 10247: more than 1024 AND"},
        {"IN list", "A IN (0" + repeated(", 0", 10000) + ")",
         "Filter error at position 30007: more than 10000 items in the IN list"},
        {"LIKE prefix", "S LIKE '" + std::string(131072, 'x') + "%'",
         "Filter error at position 8: the LIKE pattern has 131073 bytes, more than 131072"},
        {"LIKE with inner wildcards", "S LIKE '%" + std::string(1023, 'x') + "%'",
         "Filter error at position 8: the LIKE pattern has 1025 bytes, more than 1024 for a pattern with a "
         "wildcard before its end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TClientDataSet data(codes());
        data.open();
        data.setFilter("A = 1");
        data.setFiltered(true);
        data.last();
        EXPECT_EQ(errorOf([&] { data.setFilter(c.text); }).substr(0, std::string(c.message).size()),
                  c.message);
        EXPECT_EQ(data.filter(), "A = 1");
        EXPECT_EQ(data.recordCount(), 2);
        EXPECT_EQ(data.recNo(), 2);
    }
}

TEST(FilterDepth, filtersWithinTheLimitsSelectTheirRows) {
    const struct {
        const char* name;
        std::string text;
        int rows;
    } cases[] = {
        {"100 parentheses", std::string(100, '(') + "A = 2" + std::string(100, ')'), 1},
        {"99 NOTs", repeated("NOT ", 99) + "A = 2", 2},
        {"100 UPPERs", repeated("UPPER(", 100) + "S" + std::string(100, ')') + " = 'X'", 1},
        {"1024 ORs", "A = 0" + repeated(" OR A = 0", 1023) + " OR A = 2", 1},
        {"LIKE prefix at the bound", "S LIKE '" + std::string(131071, 'x') + "%'", 0},
        {"LIKE with inner wildcards at the bound", "S LIKE '%" + std::string(1022, 'x') + "%'", 0},
        {"10000 IN items", "A IN (0" + repeated(", 0", 9998) + ", 2)", 1},
        {"10000 NOT IN items", "A NOT IN (0" + repeated(", 0", 9998) + ", 2)", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TClientDataSet data(codes());
        data.open();
        data.setFilter(c.text);
        data.setFiltered(true);
        EXPECT_EQ(data.recordCount(), c.rows);
    }
}

// Each bound on the whole filter holds a filter that reaches it exactly and refuses one more item,
// byte or node, naming the bound and the place where it was passed; lists and patterns within
// their own bounds add up to it.
TEST(FilterDepth, boundsOnTheWholeFilterHoldAtTheLimitAndRefuseOnePast) {
    const auto orJoined = [](int count, const std::string& piece) {
        std::string text = piece;
        for (int i = 1; i < count; ++i)
            text += " OR " + piece;
        return text;
    };
    const auto upperTerm = [](int levels) {
        return repeated("UPPER(", levels) + "S" + std::string(std::size_t(levels), ')') + " = 'X'";
    };
    const std::string inList = "A IN (0" + repeated(", 2", 9999) + ")";
    const struct {
        const char* name;
        std::string within, past;
        int rows;
        const char* message;
    } cases[] = {
        {"IN items", orJoined(5, inList), orJoined(5, inList) + " OR A IN (7)", 1,
         "more than 50000 items in the IN lists of the whole filter"},
        {"LIKE bytes", orJoined(2, "S LIKE '" + std::string(131072, 'y') + "'"),
         orJoined(2, "S LIKE '" + std::string(131072, 'y') + "'") + " OR S LIKE 'y'", 0,
         "the LIKE patterns of the whole filter have more than 262144 bytes together"},
        // Short ones count as 64 bytes each.
        {"general LIKE bytes", orJoined(15, "S LIKE '%x_'") + " OR S LIKE '%" + std::string(62, 'x') + "%'",
         orJoined(15, "S LIKE '%x_'") + " OR S LIKE '%" + std::string(62, 'x') + "%' OR S LIKE '_'", 0,
         "the LIKE patterns with a wildcard before their end have more than 1024 bytes together"},
        // 81 terms of 100 nodes and their 80 ORs, then an OR and a term of 11 nodes: 8192.
        {"nodes", orJoined(81, upperTerm(97)) + " OR " + upperTerm(8),
         orJoined(81, upperTerm(97)) + " OR " + upperTerm(9), 1,
         "more than 8192 terms, operands and operators in the whole filter"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TClientDataSet data(codes());
        data.open();
        data.setFilter(c.within);
        data.setFiltered(true);
        EXPECT_EQ(data.recordCount(), c.rows);
        // Past the bound at its last term, which starts with a quote or ends with one.
        const std::size_t at = c.past.back() == '\'' ? c.past.size() - 2 : c.past.size() - 1;
        const std::string expected = "Filter error at position " + std::to_string(at) + ": " + c.message;
        EXPECT_EQ(errorOf([&] { data.setFilter(c.past); }).substr(0, expected.size()), expected);
        EXPECT_EQ(data.recordCount(), c.rows);
    }
}

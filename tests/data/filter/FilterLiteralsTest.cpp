// Filter conditions with a value where a field usually stands: a condition between two values
// selects every row or none, a value on the left compares the same as on the right, and the
// operands no condition can use are refused with their position.
#include "DataTestSupport.h"

#include <qmr41726/data/dataset/TDataSet.h>

#include <gtest/gtest.h>

using namespace qmr;

namespace {

TDataSet& threeRows() {
    static TDataSet dataSet(
        makeStore({fieldDef("CODIGO", TFieldType::ftInteger), fieldDef("NOME", TFieldType::ftString, 10)},
                  {{1LL, "ANA"}, {2LL, "joao"}, {3LL, {}}}));
    return dataSet;
}

std::string codesFor(const std::string& filter) {
    TDataSet& dataSet = threeRows();
    dataSet.setFiltered(false);
    dataSet.setFilter(filter);
    dataSet.setFiltered(true);
    std::string codes;
    for (int row = 0; row < dataSet.recordCount(); ++row)
        codes += (codes.empty() ? "" : ",") + dataSet.text(row, 0);
    return codes;
}

} // namespace

TEST(FilterLiterals, conditionsBetweenValuesSelectAllRowsOrNone) {
    const struct {
        const char* filter;
        const char* codes;
    } rows[] = {
        {"'abc' LIKE 'a%'", "1,2,3"},
        {"'abc' NOT LIKE 'a%'", ""},
        {"'x' IS NULL", ""},
        {"'x' IS NOT NULL", "1,2,3"},
        {"'a' IN ('b', 'a')", "1,2,3"},
        {"'a' NOT IN ('a')", ""},
        {"UPPER('jo') = 'JO'", "1,2,3"},
        {"LOWER('JO') = 'JO'", ""},
        {"2 < CODIGO", "3"},
        {"2 > CODIGO", "1"},
        {"2 <= CODIGO", "2,3"},
        {"2 >= CODIGO", "1,2"},
        {"'joao' = NOME", "2"},
        {"1 = 1 AND CODIGO <> 2", "1,3"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(codesFor(row.filter), row.codes) << row.filter;
}

TEST(FilterLiterals, operandsNoConditionCanUseAreRefusedWithTheirPosition) {
    const struct {
        std::string filter;
        const char* message;
    } rows[] = {
        {"CODIGO = 1" + std::string(400, '0'), "Filter error at position 10: number out of range"},
        {"[] = 1", "Filter error at position 1: empty field name '[]'"},
        {std::string("NOME = 'A' \x01"), "Filter error at position 12: unexpected character 0x01"},
    };
    for (const auto& row : rows) {
        TDataSet& dataSet = threeRows();
        dataSet.setFiltered(false);
        dataSet.setFilter(row.filter);
        EXPECT_EQ(errorOf([&] { dataSet.setFiltered(true); }), row.message) << row.filter;
    }
}

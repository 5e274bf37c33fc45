#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace qmr;

namespace {

std::vector<TFieldDef> allTypes() {
    return {fieldDef("NOME", TFieldType::ftString, 30), fieldDef("CODIGO", TFieldType::ftInteger),
            fieldDef("PRECO", TFieldType::ftFloat), fieldDef("ATIVO", TFieldType::ftBoolean),
            fieldDef("DATA", TFieldType::ftDateTime)};
}

} // namespace

TEST(ColumnStore, valuesReadBackAsTheGridShowsThem) {
    TColumnStoreBuilder builder(allTypes());
    builder.appendString(0, "Jo\xE3o");
    builder.appendInteger(1, -42);
    builder.appendFloat(2, 12.5);
    builder.appendBoolean(3, true);
    builder.appendDateTime(4, 45000.0); // 15/03/2023
    builder.endRow();
    builder.appendString(0, "");
    builder.appendNull(1);
    builder.appendFloat(2, 0.1 + 0.2);
    builder.appendBoolean(3, false);
    builder.appendDateTime(4, 45000.75);
    builder.endRow();
    builder.appendNull(4);
    builder.appendNull(3);
    builder.appendNull(2);
    builder.appendNull(1);
    builder.appendNull(0);
    builder.endRow();
    auto store = builder.finish();

    ASSERT_EQ(store->rowCount(), 3);
    ASSERT_EQ(store->fieldCount(), 5);
    EXPECT_EQ(store->fieldDef(0).size, 30);
    const std::vector<std::vector<std::string>> expected = {
        {"Jo\xE3o", "-42", "12.5", "True", "15/03/2023"},
        {"", "", "0.3", "False", "15/03/2023 18:00:00"},
        {"", "", "", "", ""},
    };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(store->text(r, c), expected[size_t(r)][size_t(c)]) << "row " << r << " col " << c;
    EXPECT_FALSE(store->isNull(1, 0)) << "an empty string is not null";
    EXPECT_TRUE(store->isNull(1, 1));
    for (int c = 0; c < 5; ++c)
        EXPECT_TRUE(store->isNull(2, c));
    EXPECT_THROW(store->text(3, 0), EListError);
    EXPECT_THROW(store->text(0, 5), EListError);
}

TEST(ColumnStore, dateTimesFormatAcrossTheScale) {
    const std::vector<std::pair<double, std::string>> cases = {
        {0.0, "30/12/1899"},
        {1.5, "31/12/1899 12:00:00"},
        {-1.25, "29/12/1899 06:00:00"},
        {36526.0, "01/01/2000"},
        {36526.99999999, "02/01/2000"}, // rounds up to the next midnight
        {2.0 / 86400.0 + 10, "09/01/1900 00:00:02"},
        {60.0, "28/02/1900"},
        {61.0, "01/03/1900"},
    };
    TColumnStoreBuilder builder({fieldDef("D", TFieldType::ftDateTime)});
    for (const auto& c : cases) {
        builder.appendDateTime(0, c.first);
        builder.endRow();
    }
    auto store = builder.finish();
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(store->text(int(i), 0), cases[i].second) << cases[i].first;
}

TEST(ColumnStore, raggedRowsNameRowAndColumnAndLoseNothingBuilt) {
    TColumnStoreBuilder builder({fieldDef("A", TFieldType::ftString), fieldDef("B", TFieldType::ftInteger)});
    builder.appendString(0, "kept");
    builder.appendInteger(1, 1);
    builder.endRow();

    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[&] { builder.appendString(0, "x"), builder.appendString(0, "y"); },
         "Row 2, column 1 'A': value given twice"},
        {[&] { builder.appendString(0, "x"), builder.endRow(); },
         "Row 2, column 2 'B': no value given before the end of the row"},
        {[&] { builder.appendString(1, "x"); },
         "Row 2, column 2 'B': string value given to a field of type integer"},
        {[&] { builder.appendInteger(2, 5); }, "Row 2, column 3: no such column (the store has 2)"},
        {[&] { builder.appendInteger(1, 5), builder.finish(); },
         "Row 2, column 1 'A': no value given before the end of the row"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf(c.first), c.second);

    builder.appendString(0, "second");
    builder.appendInteger(1, 2);
    builder.endRow();
    auto store = builder.finish();
    ASSERT_EQ(store->rowCount(), 2);
    EXPECT_EQ(store->text(0, 0), "kept");
    EXPECT_EQ(store->text(1, 0), "second");
    EXPECT_EQ(store->text(1, 1), "2");
    EXPECT_FALSE(store->isNull(1, 1));
}

TEST(ColumnStore, rejectsValuesThatCannotBeOrdered) {
    TColumnStoreBuilder builder({fieldDef("F", TFieldType::ftFloat), fieldDef("D", TFieldType::ftDateTime)});
    EXPECT_NE(errorOf([&] { builder.appendFloat(0, std::nan("")); }).find("NaN"), std::string::npos);
    builder.appendFloat(0, 1);
    for (const double days : {double(INFINITY), 1e300, -1e300, 2958466.0, -693594.0})
        EXPECT_NE(errorOf([&] { builder.appendDateTime(1, days); }).find("column 2 'D'"), std::string::npos)
            << days;
    EXPECT_NE(errorOf([&] { builder.appendDateTime(1, 1e300); }).find("outside 01/01/0001 to 31/12/9999"),
              std::string::npos);
    TColumnStoreBuilder edges({fieldDef("D", TFieldType::ftDateTime)});
    for (const double days : {-693593.5, 2958465.99})
        edges.appendDateTime(0, days), edges.endRow();
    const auto store = edges.finish();
    EXPECT_EQ(store->text(0, 0), "01/01/0001 12:00:00");
    EXPECT_EQ(store->text(1, 0), "31/12/9999 23:45:36");
}

TEST(ColumnStore, builderKeepsRaisedSizesAndStartsAgainEmpty) {
    TColumnStoreBuilder builder({fieldDef("A", TFieldType::ftString, 5)});
    builder.setFieldSize(0, 12);
    builder.setFieldSize(0, 3); // never shrinks
    builder.appendString(0, "x");
    builder.endRow();
    auto first = builder.finish();
    EXPECT_EQ(first->fieldDef(0).size, 12);
    EXPECT_EQ(builder.rowCount(), 0);
    auto second = builder.finish();
    EXPECT_EQ(second->rowCount(), 0);
    EXPECT_EQ(first->rowCount(), 1);
    EXPECT_THROW(builder.setFieldSize(1, 4), EListError);
}

TEST(ColumnStore, memoryGrowsWithTheValuesNotPerValueAllocations) {
    TColumnStoreBuilder builder({fieldDef("S", TFieldType::ftString), fieldDef("I", TFieldType::ftInteger)});
    for (int i = 0; i < 10000; ++i) {
        builder.appendString(0, std::to_string(1000000 + i));
        builder.appendInteger(1, i);
        builder.endRow();
    }
    auto store = builder.finish();
    // 7 bytes, a 4-byte offset, 4 bytes of heads and an 8-byte integer a row, and a little more.
    EXPECT_GE(store->memoryBytes(), 10000u * 23);
    EXPECT_LT(store->memoryBytes(), 10000u * 23 + 4096);
}

// A column of a few long values (cities, say) keeps one byte a row, not its text, and still
// reads back every value, nulls included.
TEST(ColumnStore, aColumnOfFewValuesKeepsOneByteARowAndReadsBackEveryValue) {
    const std::string cities[] = {"Sao Paulo", "Rio de Janeiro", "Belo Horizonte", ""};
    TColumnStoreBuilder builder({fieldDef("CIDADE", TFieldType::ftString)});
    for (int i = 0; i < 10000; ++i) {
        if (i % 5 == 4)
            builder.appendNull(0);
        else
            builder.appendString(0, cities[i % 4]);
        builder.endRow();
    }
    auto store = builder.finish();
    EXPECT_LT(store->memoryBytes(), 10000u * 1 + 4096);
    for (int i = 0; i < 10000; ++i) {
        ASSERT_EQ(store->text(i, 0), i % 5 == 4 ? "" : cities[i % 4]) << "row " << i;
        ASSERT_EQ(store->isNull(i, 0), i % 5 == 4) << "row " << i;
    }
}

// Below the rows worth a second thread, one thread numbers every text column, not every other one.
TEST(ColumnStore, everyTextColumnOfFewValuesIsCodedInASmallStore) {
    TColumnStoreBuilder builder({fieldDef("A", TFieldType::ftString), fieldDef("B", TFieldType::ftString),
                                 fieldDef("C", TFieldType::ftString)});
    for (int i = 0; i < 1000; ++i) {
        for (int column = 0; column < 3; ++column)
            builder.appendString(column, i % 2 ? "sim" : "nao");
        builder.endRow();
    }
    EXPECT_LT(builder.finish()->memoryBytes(), 3u * 1000 + 4096);
}

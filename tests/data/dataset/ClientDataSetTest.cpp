// Index definitions and the orders they give a client data set.

#include "DataTestSupport.h"

#include <qmr41726/data/dataset/TClientDataSet.h>

#include <gtest/gtest.h>

using namespace qmr;

namespace {

std::shared_ptr<const TColumnStore> products() {
    return makeStore({fieldDef("CODIGO", TFieldType::ftInteger), fieldDef("NOME", TFieldType::ftString, 20),
                      fieldDef("PRECO", TFieldType::ftFloat), fieldDef("GRUPO", TFieldType::ftString, 5)},
                     {
                         {1LL, "banana", 3.5, "F"},
                         {2LL, "Abacate", 7.0, "F"},
                         {3LL, {}, 1.0, "X"},
                         {4LL, "abacaxi", {}, "F"},
                         {5LL,
                          "\xE7"
                          "ebola",
                          2.0, "L"}, // ç sorts after every a-z by its byte
                         {6LL, "Banana", 3.5, "F"},
                         {7LL, "banana", 0.5, "L"},
                     });
}

std::string codes(const TDataSet& d) {
    std::string out;
    for (int row = 0; row < d.recordCount(); ++row)
        out += (out.empty() ? "" : ",") + d.text(row, 0);
    return out;
}

} // namespace

TEST(ClientDataSet, indexDefinitionsListAddRemove) {
    TClientDataSet d(products());
    TIndexDefs& defs = d.indexDefs();
    defs.add("NOME", "NOME", 0);
    defs.add("PRECO", "PRECO", unsigned(TIndexOption::ixDescending));
    EXPECT_EQ(defs.count(), 2);
    EXPECT_EQ(defs.item(1).name(), "PRECO");
    EXPECT_EQ(defs.item(1).options(), unsigned(TIndexOption::ixDescending));
    EXPECT_EQ(defs.indexOf("preco"), 1);
    EXPECT_EQ(defs.indexOf("GRUPO"), -1);
    EXPECT_EQ(errorOf([&] { defs.item(2); }), "List index out of bounds (2): the list holds 2 items");
    EXPECT_THROW(defs.remove(-1), EListError);
    while (defs.count() > 0)
        defs.remove(0);
    EXPECT_EQ(defs.count(), 0);
}

TEST(ClientDataSet, indexesOrderByTypeStablyWithNullsFirst) {
    struct Case {
        const char* fields;
        TIndexOptions options;
        const char* order;
    };
    const Case cases[] = {
        {"NOME", 0, "3,2,6,4,1,7,5"},
        {"NOME", unsigned(TIndexOption::ixCaseInsensitive), "3,2,4,1,6,7,5"},
        {"NOME", unsigned(TIndexOption::ixDescending), "5,1,7,4,6,2,3"},
        {"PRECO", 0, "4,7,3,5,1,6,2"},
        {"GRUPO;PRECO", 0, "4,1,6,2,7,5,3"},
        {" GRUPO ; NOME ", 0, "2,6,4,1,7,5,3"},
        {"CODIGO", unsigned(TIndexOption::ixDescending), "7,6,5,4,3,2,1"},
    };
    for (const Case& c : cases) {
        TClientDataSet d(products());
        d.indexDefs().add("IX", c.fields, c.options);
        d.setIndexName("IX");
        EXPECT_EQ(codes(d), c.order) << c.fields << " options " << c.options;
    }
}

TEST(ClientDataSet, currentRowStaysCurrentAcrossOrders) {
    TClientDataSet d(products());
    d.indexDefs().add("NOME", "NOME", 0);
    d.indexDefs().add("PRECO", "PRECO", 0);
    d.setRecNo(5); // CODIGO 5
    d.setIndexName("NOME");
    EXPECT_EQ(d.field(0)->asString(), "5");
    EXPECT_EQ(d.recNo(), 7);
    d.setIndexName("PRECO");
    EXPECT_EQ(d.field(0)->asString(), "5");
    d.setIndexName("");
    EXPECT_EQ(codes(d), "1,2,3,4,5,6,7");
    EXPECT_EQ(d.recNo(), 5);
    EXPECT_EQ(d.indexName(), "");
}

// Sees the order the data set shows its rows in, to tell a kept order from a rebuilt one.
class OrderProbe : public TClientDataSet {
public:
    using TClientDataSet::rowOrder;
    using TClientDataSet::TClientDataSet;
};

TEST(ClientDataSet, keepsTheLastUsedOrdersAndRebuildsOneItDropped) {
    OrderProbe d(products());
    const struct {
        const char* fields;
        TIndexOptions options;
        const char* order;
    } indexes[] = {
        {"NOME", 0, "3,2,6,4,1,7,5"},
        {"PRECO", 0, "4,7,3,5,1,6,2"},
        {"GRUPO;PRECO", 0, "4,1,6,2,7,5,3"},
        {"NOME", unsigned(TIndexOption::ixCaseInsensitive), "3,2,4,1,6,7,5"},
        {"CODIGO", unsigned(TIndexOption::ixDescending), "7,6,5,4,3,2,1"},
    };
    static_assert(std::size(indexes) > TClientDataSet::kKeptOrders);
    int n = 0;
    for (const auto& index : indexes)
        d.indexDefs().add("IX" + std::to_string(n++), index.fields, index.options);

    d.setIndexName("IX0");
    const auto* first = d.rowOrder().get();
    d.setIndexName("IX1");
    // Defined again under another name, as the screen does on every call: the same order serves.
    d.indexDefs().add("AGAIN", "NOME", 0);
    d.setIndexName("AGAIN");
    EXPECT_EQ(d.rowOrder().get(), first);
    // More orders than are kept: each still orders right, the first one dropped and rebuilt.
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < std::size(indexes); ++i) {
            d.setIndexName("IX" + std::to_string(i));
            EXPECT_EQ(codes(d), indexes[i].order) << indexes[i].fields << " round " << round;
        }
    }
}

TEST(ClientDataSet, unknownIndexOrFieldChangesNothing) {
    TClientDataSet d(products());
    d.indexDefs().add("NOME", "NOME", 0);
    d.indexDefs().add("BAD", "GRUPO;NOMX", 0);
    d.setIndexName("nome");
    EXPECT_EQ(d.indexName(), "NOME");
    EXPECT_EQ(errorOf([&] { d.setIndexName("CIDADE"); }), "Index 'CIDADE' not found");
    EXPECT_EQ(errorOf([&] { d.setIndexName("BAD"); }), "Index 'BAD': field 'NOMX' not found");
    EXPECT_EQ(d.indexName(), "NOME");
    EXPECT_EQ(codes(d), "3,2,6,4,1,7,5");
}

TEST(ClientDataSet, deletingTheActiveDefinitionKeepsItsOrderUntilTheNextChoice) {
    TClientDataSet d(products());
    d.indexDefs().add("NOME", "NOME", 0);
    d.setIndexName("NOME");
    d.indexDefs().remove(0);
    EXPECT_EQ(codes(d), "3,2,6,4,1,7,5");
    d.indexDefs().add("NOME", "CODIGO", unsigned(TIndexOption::ixDescending));
    d.setIndexName("NOME");
    EXPECT_EQ(codes(d), "7,6,5,4,3,2,1") << "a new definition of the same name takes its own fields";
}

TEST(ClientDataSet, filterFollowsTheActiveIndexOrder) {
    TClientDataSet d(products());
    d.indexDefs().add("NOME", "NOME", 0);
    d.indexDefs().add("PRECO", "PRECO", 0);
    d.setIndexName("NOME");
    d.setFilter("GRUPO = 'F' AND UPPER(NOME) LIKE 'BA%'");
    d.setFiltered(true);
    EXPECT_EQ(codes(d), "6,1");
    d.next();
    d.setIndexName("PRECO");
    EXPECT_EQ(codes(d), "1,6");
    EXPECT_EQ(d.field(0)->asString(), "1") << "the current row stays current when filtered too";
    d.setFilter("UPPER(NOME) LIKE 'BA%'");
    EXPECT_EQ(codes(d), "7,1,6");
}

// A host may hand a client data set where a plain one is expected: through the plain interface it
// still filters and moves in its active index's order, where a plain data set keeps the store's.
TEST(ClientDataSet, throughThePlainInterfaceItFiltersAndMovesInItsIndexOrder) {
    TClientDataSet client(products());
    client.indexDefs().add("NOME", "NOME", 0);
    client.setIndexName("NOME");
    TDataSet plain(products());
    const struct {
        TDataSet* data;
        const char* order;
    } cases[] = {{&client, "2,6,4,1"}, {&plain, "1,2,4,6"}};
    for (const auto& c : cases) {
        TDataSet& data = *c.data;
        data.open();
        data.setFilter("GRUPO = 'F'");
        data.setFiltered(true);
        EXPECT_EQ(codes(data), c.order);
        data.last();
        EXPECT_EQ(data.recNo(), 4);
        EXPECT_EQ(data.text(data.recNo() - 1, 0), std::string(1, c.order[6]));
    }
}

TEST(ClientDataSet, newRowsKeepTheActiveIndexByName) {
    TClientDataSet d;
    d.indexDefs().add("NOME", "NOME", 0);
    d.setIndexName("NOME");
    d.setStore(products());
    d.open();
    EXPECT_EQ(codes(d), "3,2,6,4,1,7,5");
}

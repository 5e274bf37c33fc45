// The sample data shipped in data/ loads with the fields a host expects and text that makes a
// search interesting (accented letters, mixed letter case).
#include "DataTestSupport.h"
#include <qmr41726/data/load/Loaders.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qmr;

namespace {

struct FieldExpectation {
    const char* name;
    TFieldType type;
    int size;
    bool visible;
};

void expectFields(const TColumnStore& store, const std::vector<FieldExpectation>& expected) {
    ASSERT_EQ(store.fieldCount(), int(expected.size()));
    for (int i = 0; i < store.fieldCount(); ++i) {
        const TFieldDef& def = store.fieldDef(i);
        EXPECT_EQ(def.name, expected[size_t(i)].name);
        EXPECT_EQ(def.type, expected[size_t(i)].type) << def.name;
        EXPECT_EQ(def.size, expected[size_t(i)].size) << def.name;
        EXPECT_EQ(def.visible, expected[size_t(i)].visible) << def.name;
    }
}

// How many values of the column hold a byte of `bytes`, and how many hold a small letter a-z.
std::pair<int, int> countAccentsAndSmallLetters(const TColumnStore& store, int column,
                                                const std::string& bytes) {
    int accented = 0;
    int small = 0;
    for (int r = 0; r < store.rowCount(); ++r) {
        const AnsiString text = store.text(r, column);
        accented += text.find_first_of(bytes) != std::string::npos;
        small += text.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos;
    }
    return {accented, small};
}

} // namespace

TEST(SampleData, productCatalogueLoadsWithTypedFields) {
    auto store = loadCsvFile(QMR_SOURCE_DIR "/data/produtos.csv");
    expectFields(*store, {{"CODIGO", TFieldType::ftString, 13, true},
                          {"DESCRICAO", TFieldType::ftString, 40, true},
                          {"UNIDADE", TFieldType::ftString, 2, true},
                          {"PRECO", TFieldType::ftFloat, 0, true},
                          {"GRUPO", TFieldType::ftString, 20, true},
                          {"ATIVO", TFieldType::ftString, 1, true},
                          {"ID_INTERNO", TFieldType::ftInteger, 0, false}});
    ASSERT_EQ(store->rowCount(), 2500);
    EXPECT_EQ(store->text(0, 0), "1008") << "codes are text, as typed";
    EXPECT_EQ(store->text(0, 1), "FEIJ\xC3O CARIOCA ALVORADA 1KG");
    const auto [accented, small] = countAccentsAndSmallLetters(*store, 1, "\xC7\xE7\xC3\xE3\xC9\xE9");
    EXPECT_GT(accented, 500) << "descriptions with Ç, Ã or É";
    EXPECT_GT(small, 200) << "descriptions in mixed or small letters";
}

TEST(SampleData, customerListLoadsWithTypedFields) {
    auto store = loadCsvFile(QMR_SOURCE_DIR "/data/clientes.csv");
    expectFields(*store, {{"CODIGO", TFieldType::ftInteger, 0, true},
                          {"NOME", TFieldType::ftString, 40, true},
                          {"CIDADE", TFieldType::ftString, 30, true},
                          {"UF", TFieldType::ftString, 2, true},
                          {"ATIVO", TFieldType::ftString, 1, true}});
    ASSERT_EQ(store->rowCount(), 600);
    const auto [accented, small] = countAccentsAndSmallLetters(*store, 1, "\xC3\xE3\xC9\xE9\xCD\xED\xC1\xE1");
    EXPECT_GT(accented, 100);
    EXPECT_GT(small, 100);
}

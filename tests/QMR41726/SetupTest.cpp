// The state a search starts from: what set-up does to the caller's data set and to the screen.

#include "SetupHarness.h"

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/ui/TApplication.h>

#include <gtest/gtest.h>

using namespace qmr;

namespace {

std::vector<AnsiString> indexNames(const TClientDataSet& dataSet) {
    std::vector<AnsiString> names;
    for (int i = 0; i < dataSet.indexDefs().count(); ++i)
        names.push_back(dataSet.indexDefs().item(i).name());
    return names;
}

/// The search state of the screen, taken while it is shown.
struct TSearchState {
    AnsiString stColunaPesq, OriginalFilter, searchText, caption, sbtA, sbtCCdil;
    int inTamCampo = -1;
    bool boPesqOK = true, LockedUP = true, boShift = false;
    std::vector<TColor> titleColors;
    TDataSet* boundDataSet = nullptr;
    TDataSet* cdsPesquisa = nullptr;
};

TSearchState stateOnShow(TDataSet& dataSet, const AnsiString& flag = "N") {
    TSearchState state;
    TMensagemRecorder recorder;
    callScreen(paramsFor(dataSet, flag), [&](TfrmPesquisa& form) {
        state = {form.stColunaPesq,
                 form.OriginalFilter,
                 form.edtFiltro->text(),
                 form.caption(),
                 form.sbtA->caption(),
                 form.sbtCCdil->caption(),
                 form.inTamCampo,
                 form.boPesqOK,
                 form.LockedUP,
                 form.boShift,
                 {},
                 form.dtsPesquisa->dataSet(),
                 form.cdsPesquisa};
        for (int i = 0; i < form.dbgPesquisa->columnCount(); ++i)
            state.titleColors.push_back(form.dbgPesquisa->column(i)->titleFontColor());
    });
    EXPECT_TRUE(recorder.calls().empty()) << recorder.calls().front().message;
    return state;
}

} // namespace

TEST(PreparaPesquisa, clientDataSetGetsOneIndexPerVisibleFieldSortedOnTheSecond) {
    TClientDataSet dataSet(productStore());
    dataSet.open();
    dataSet.indexDefs().add("OLD", "PRECO", unsigned(TIndexOption::ixDescending));
    dataSet.indexDefs().add("CODIGO", "DESCRICAO", 0);
    dataSet.setIndexName("OLD");
    dataSet.last();

    const TSearchState state = stateOnShow(dataSet);

    EXPECT_EQ(indexNames(dataSet), (std::vector<AnsiString>{"CODIGO", "DESCRICAO", "UNIDADE", "PRECO"}));
    for (int i = 0; i < dataSet.indexDefs().count(); ++i) {
        EXPECT_EQ(dataSet.indexDefs().item(i).fields(), dataSet.indexDefs().item(i).name());
        EXPECT_EQ(dataSet.indexDefs().item(i).options(), 0u);
    }
    EXPECT_EQ(dataSet.indexName(), "DESCRICAO");
    EXPECT_EQ(state.stColunaPesq, "DESCRICAO");
    EXPECT_EQ(state.inTamCampo, 40);
    EXPECT_EQ(dataSet.recNo(), 1);
    EXPECT_EQ(dataSet.fieldByName("DESCRICAO").asString(), "ACUCAR") << "not sorted on the search column";
    EXPECT_EQ(state.boundDataSet, &dataSet);
    EXPECT_EQ(state.cdsPesquisa, &dataSet);
}

TEST(PreparaPesquisa, searchColumnTitleIsPurpleAndTheOthersKeepTheLayoutColour) {
    TClientDataSet dataSet(productStore());
    dataSet.open();
    const TSearchState state = stateOnShow(dataSet);
    EXPECT_EQ(state.titleColors, (std::vector<TColor>{clWindowText, clPurple, clWindowText, clWindowText}));
}

TEST(PreparaPesquisa, onlyAnUpperCaseSDropsTheDataSetsOwnFilter) {
    const struct {
        const char* flag;
        const char* filterAfter;
    } cases[] = {{"S", ""},
                 {"s", "UNIDADE = 'KG'"},
                 {"N", "UNIDADE = 'KG'"},
                 {"", "UNIDADE = 'KG'"},
                 {"SS", "UNIDADE = 'KG'"},
                 {" S", "UNIDADE = 'KG'"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flag);
        TClientDataSet dataSet(productStore());
        dataSet.open();
        dataSet.setFilter("UNIDADE = 'KG'");
        dataSet.setFiltered(true);
        const TSearchState state = stateOnShow(dataSet, c.flag);
        EXPECT_EQ(stFilter, c.flag);
        EXPECT_EQ(dataSet.filter(), c.filterAfter);
        EXPECT_EQ(state.OriginalFilter, c.filterAfter);
        EXPECT_TRUE(dataSet.filtered()) << "the Filtered switch is the caller's";
    }
}

TEST(PreparaPesquisa, invisibleFieldsGetNeitherIndexNorColumn) {
    TClientDataSet dataSet(productStore({"CODIGO"}));
    dataSet.open();
    const TSearchState state = stateOnShow(dataSet);
    EXPECT_EQ(indexNames(dataSet), (std::vector<AnsiString>{"DESCRICAO", "UNIDADE", "PRECO"}));
    EXPECT_EQ(state.stColunaPesq, "UNIDADE");
    EXPECT_EQ(state.inTamCampo, 3);
    EXPECT_EQ(dataSet.indexName(), "UNIDADE");
    EXPECT_EQ(state.titleColors.size(), 3u);
}

TEST(PreparaPesquisa, plainDataSetKeepsItsOrderAndFilterAndStartsOnTheFirstRow) {
    TDataSet dataSet(productStore());
    dataSet.open();
    dataSet.setFilter("PRECO > 3");
    dataSet.setFiltered(true);
    dataSet.last();
    const TSearchState state = stateOnShow(dataSet);
    EXPECT_EQ(state.stColunaPesq, "DESCRICAO");
    EXPECT_EQ(state.OriginalFilter, "PRECO > 3");
    EXPECT_EQ(state.inTamCampo, 40);
    EXPECT_EQ(dataSet.filter(), "PRECO > 3");
    EXPECT_EQ(dataSet.recNo(), 1);
    EXPECT_EQ(dataSet.fieldByName("DESCRICAO").asString(), "CAFE TORRADO")
        << "a plain data set was re-ordered";
}

TEST(PreparaPesquisa, searchColumnWithoutDeclaredLengthAllowsNoCharacters) {
    TClientDataSet dataSet(productStore({"DESCRICAO", "UNIDADE"}));
    dataSet.open();
    const TSearchState state = stateOnShow(dataSet);
    EXPECT_EQ(state.stColunaPesq, "PRECO");
    EXPECT_EQ(state.inTamCampo, 0);
}

TEST(InicializaForm, screenOpensWithShiftOnCapitalKeysAndTheHostsTitle) {
    testApplication().setTitle("Loja \xC1gua");
    TClientDataSet dataSet(productStore());
    dataSet.open();
    const TSearchState state = stateOnShow(dataSet);
    EXPECT_EQ(state.caption, "Loja \xC1gua");
    EXPECT_FALSE(state.boPesqOK);
    EXPECT_FALSE(state.LockedUP);
    EXPECT_TRUE(state.boShift);
    EXPECT_EQ(state.sbtA, "A");
    EXPECT_EQ(state.sbtCCdil, "\xC7");
    EXPECT_EQ(state.searchText, "");
    testApplication().setTitle("");
}

TEST(InicializaForm, formIconIsACopyOfTheHostsIcon) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    testApplication().setIcon(QIcon(pixmap));
    TClientDataSet dataSet(productStore());
    dataSet.open();
    QImage shown;
    callScreen(paramsFor(dataSet), [&](TfrmPesquisa& form) { shown = form.icon().pixmap(16, 16).toImage(); });
    testApplication().setIcon(QIcon());
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.pixelColor(8, 8), QColor(Qt::red));
}

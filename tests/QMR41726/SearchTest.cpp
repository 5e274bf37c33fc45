// The incremental search as the user drives it: the filter each keystroke hands to the data set,
// the rows that are left, Backspace and Delete, and the search column chosen by a title touch.

#include "SearchScreenFixture.h"

#include <qmr41726/ui/grid/TDBGrid.h>

#include <QCoreApplication>

#include <algorithm>

using namespace qmr;

namespace {

struct ExpressionCase {
    const char* name;
    DataKind kind;
    const char* baseFilter;
    const char* script;
    const char* expected;
};

const ExpressionCase kExpressions[] = {
    {"emptyBaseOneLetter", DataKind::client, "", "touch:sbtA", "UPPER(NOME) LIKE 'A%'"},
    {"emptyBaseTwoLetters", DataKind::client, "", "touch:sbtJ touch:sbtO", "UPPER(NOME) LIKE 'JO%'"},
    {"baseFilterJoinedByAnd", DataKind::client, "ATIVO = 'S'", "touch:sbtJ touch:sbtO",
     "ATIVO = 'S' AND UPPER(NOME) LIKE 'JO%'"},
    {"plainDataSetNamesColumn", DataKind::plain, "", "touch:sbtJ touch:sbtO", "NOME LIKE 'JO%'"},
    {"plainDataSetWithBaseFilter", DataKind::plain, "ATIVO = 'S'", "type:jo",
     "ATIVO = 'S' AND NOME LIKE 'JO%'"},
    {"andChainKeptAsIs", DataKind::client, "ATIVO = 'S' AND CODIGO > 1", "type:jo",
     "ATIVO = 'S' AND CODIGO > 1 AND UPPER(NOME) LIKE 'JO%'"},
    {"orInsideParenthesesKeptAsIs", DataKind::client, "(CODIGO = 1 OR CODIGO = 2) AND ATIVO = 'S'", "type:jo",
     "(CODIGO = 1 OR CODIGO = 2) AND ATIVO = 'S' AND UPPER(NOME) LIKE 'JO%'"},
    {"orInsideQuotesKeptAsIs", DataKind::client, "CIDADE <> 'Porto OR Faro'", "type:jo",
     "CIDADE <> 'Porto OR Faro' AND UPPER(NOME) LIKE 'JO%'"},
    {"topLevelOrWrapped", DataKind::client, "ATIVO = 'N' OR CODIGO = 1", "type:jo",
     "(ATIVO = 'N' OR CODIGO = 1) AND UPPER(NOME) LIKE 'JO%'"},
    {"parenthesisedOrKeptAsIs", DataKind::client, "(ATIVO = 'N' OR CODIGO = 1)", "type:jo",
     "(ATIVO = 'N' OR CODIGO = 1) AND UPPER(NOME) LIKE 'JO%'"},
    {"lowerCaseOrWrapped", DataKind::plain, "CODIGO = 1 or CODIGO = 2", "type:jo",
     "(CODIGO = 1 or CODIGO = 2) AND NOME LIKE 'JO%'"},
    {"onlyAtoZUpperCased", DataKind::client, "", "touch:sbtA touch:sbtCCdil", "UPPER(NOME) LIKE 'A\xE7%'"},
    {"titleTouchThenLetterFiltersNewColumn", DataKind::client, "", "type:p title:2 type:o",
     "UPPER(CIDADE) LIKE 'PO%'"},
    {"titleTouchOnPlainDataSet", DataKind::plain, "", "type:p title:2 type:o", "CIDADE LIKE 'PO%'"},
};

class FilterExpression : public SearchScreenTest, public ::testing::WithParamInterface<ExpressionCase> {};

} // namespace

TEST_P(FilterExpression, eachTypedCharacterFiltersOnBaseFilterAndPrefix) {
    const ExpressionCase& c = GetParam();
    open(c.kind, c.baseFilter);
    run(c.script);
    EXPECT_EQ(data->filter(), c.expected);
    EXPECT_TRUE(data->filtered());
    EXPECT_TRUE(messages->calls().empty()) << messages->calls().front().message;
}

INSTANTIATE_TEST_SUITE_P(Search, FilterExpression, ::testing::ValuesIn(kExpressions),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct MatchCase {
    const char* name;
    DataKind kind;
    const char* baseFilter;
    const char* script;
    std::vector<std::string> expected;
};

const MatchCase kMatches[] = {
    {"clientDataSetIgnoresLetterCase", DataKind::client, "", "type:jo", {"JOSE", "Joana", "joao"}},
    {"plainDataSetComparesUnchanged", DataKind::plain, "", "type:jo", {"JOSE"}},
    {"plainDataSetMissesMixedCase", DataKind::plain, "", "type:mar", {}},
    {"baseFilterStillHolds", DataKind::client, "ATIVO = 'S'", "type:mar", {"Maria"}},
    {"topLevelOrDoesNotLetOtherRowsThrough",
     DataKind::client,
     "ATIVO = 'N' OR CODIGO = 1",
     "type:mar",
     {"Mario"}},
    {"backspaceWidensAgain", DataKind::client, "", "type:jox key:Backspace", {"JOSE", "Joana", "joao"}},
    // The search text goes into the pattern as typed: an underscore stands for any one character.
    {"underscoreKeyMatchesAnyOneCharacter",
     DataKind::client,
     "",
     "touch:sbtJ touch:sbt_ touch:sbtS",
     {"JOSE"}},
};

class MatchingRows : public SearchScreenTest, public ::testing::WithParamInterface<MatchCase> {};

} // namespace

TEST_P(MatchingRows, showsTheRowsWhoseSearchColumnBeginsWithTheText) {
    const MatchCase& c = GetParam();
    open(c.kind, c.baseFilter);
    run(c.script);
    std::vector<std::string> shown = names();
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Search, MatchingRows, ::testing::ValuesIn(kMatches),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct RestoreCase {
    const char* name;
    const char* baseFilter;
    const char* script;
    bool filteredAfter;
    int rowsAfter;
};

// The base filter starts switched off, as a host may hand it over: only a search applies it.
const RestoreCase kRestores[] = {
    {"backspaceOnOneCharacterLeavesUnfiltered", "", "type:j key:Backspace", false, 6},
    {"backspaceKeyOnOneCharacterLeavesUnfiltered", "", "touch:sbtJ touch:sbtBackSpace", false, 6},
    {"backspaceOnOneCharacterRestoresBaseFilter", "ATIVO = 'S'", "type:j key:Backspace", true, 4},
    {"deleteOnEmptyTextAppliesBaseFilter", "ATIVO = 'S'", "key:Delete", true, 4},
    {"clearKeyOnEmptyTextAppliesBaseFilter", "ATIVO = 'S'", "touch:sbtLimpar", true, 4},
    {"deleteAfterTypingRestoresBaseFilter", "ATIVO = 'S'", "type:mar key:Delete", true, 4},
    {"deleteWithoutBaseFilterLeavesUnfiltered", "", "type:mar touch:sbtLimpar", false, 6},
};

class BaseFilterRestored : public SearchScreenTest, public ::testing::WithParamInterface<RestoreCase> {};

} // namespace

TEST_P(BaseFilterRestored, emptySearchTextLeavesExactlyTheBaseFilter) {
    const RestoreCase& c = GetParam();
    open(DataKind::client, c.baseFilter);
    run(c.script);
    EXPECT_EQ(searchText(), "");
    EXPECT_EQ(data->filter(), c.baseFilter);
    EXPECT_EQ(data->filtered(), c.filteredAfter);
    EXPECT_EQ(data->recordCount(), c.rowsAfter);
}

INSTANTIATE_TEST_SUITE_P(Search, BaseFilterRestored, ::testing::ValuesIn(kRestores),
                         [](const auto& info) { return std::string(info.param.name); });

class TitleTouch : public SearchScreenTest, public ::testing::WithParamInterface<DataKind> {};

TEST_P(TitleTouch, makesTheColumnTheSearchColumnWithoutFilteringAgain) {
    open(GetParam());
    run("type:j title:2");
    TDBGrid& grid = *form->dbgPesquisa;
    for (int i = 0; i < grid.columnCount(); ++i)
        EXPECT_EQ(grid.column(i)->titleFontColor(), i == 2 ? clPurple : clNavy) << "column " << i;
    EXPECT_EQ(form->stColunaPesq, "CIDADE");
    EXPECT_EQ(form->inTamCampo, 15);
    const char* expected = GetParam() == DataKind::client ? "UPPER(NOME) LIKE 'J%'" : "NOME LIKE 'J%'";
    EXPECT_EQ(data->filter(), expected);
    EXPECT_EQ(searchText(), "J");
}

TEST_P(TitleTouch, sortsClientDataSetOnTheColumnAndLeavesPlainOneInItsOrder) {
    open(GetParam());
    run("title:2");
    if (auto* client = dynamic_cast<TClientDataSet*>(data.get())) {
        EXPECT_EQ(client->indexName(), "CIDADE");
        EXPECT_EQ(data->text(0, 2), "Braga");
        EXPECT_EQ(data->text(data->recordCount() - 1, 2), "Porto");
        return;
    }
    EXPECT_EQ(data->text(0, 2), "Lisboa");
    EXPECT_EQ(data->text(data->recordCount() - 1, 2), "Lisboa");
}

INSTANTIATE_TEST_SUITE_P(Search, TitleTouch, ::testing::Values(DataKind::client, DataKind::plain),
                         [](const auto& info) {
                             return info.param == DataKind::client ? "client" : "plain";
                         });

TEST_F(SearchScreenTest, longerTextThanNewColumnAllowsIsKeptButGrowsNoFurther) {
    open(DataKind::client);
    run("type:abcd title:3 type:e");
    EXPECT_EQ(form->inTamCampo, 1);
    EXPECT_EQ(searchText(), "Abcd");
    run("key:Backspace");
    EXPECT_EQ(data->filter(), "UPPER(ATIVO) LIKE 'ABC%'");
}

// A number column declares no size, so the text carried over is kept but cannot grow; Backspace
// then searches the number column by its shown text, and nothing begins with a letter.
TEST_F(SearchScreenTest, carriedOverTextOnANumberColumnNarrowsByItsShownText) {
    open(DataKind::client);
    run("type:ab title:0 type:c key:Backspace");
    EXPECT_EQ(data->filter(), "UPPER(CODIGO) LIKE 'A%'");
    EXPECT_EQ(data->recordCount(), 0);
    EXPECT_TRUE(messages->calls().empty()) << messages->calls().front().message;
    EXPECT_TRUE(errors.empty());
}

TEST_F(SearchScreenTest, rejectedFilterAfterBackspaceGoesToErrorHandler) {
    open(DataKind::client, "ATIVO =");
    run("type:ab");
    ASSERT_EQ(messages->calls().size(), 2u);
    run("key:Backspace");
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(messages->calls().size(), 2u);
    EXPECT_EQ(searchText(), "A");
    EXPECT_TRUE(form->widget()->isVisible());
}

TEST_F(SearchScreenTest, rejectedFilterAfterTypedCharacterShownOnceWhileScreenStaysOpen) {
    data = makeDataSet(DataKind::client, peopleStore());
    data->setFilter("ATIVO =");
    bool openAfter = false;
    AnsiString textAfter;
    const TScreenOutcome outcome = callScreen(paramsFor(*data), [&](TfrmPesquisa& screen) {
        ScreenInput(screen).run("touch:sbtJ");
        QCoreApplication::processEvents();
        openAfter = screen.modal();
        textAfter = screen.edtFiltro->text();
    });
    ASSERT_EQ(messages->calls().size(), 1u);
    const TMensagemCall& call = messages->calls().front();
    EXPECT_FALSE(call.message.empty());
    EXPECT_EQ(call.complement, "");
    EXPECT_EQ(call.confirm, "N");
    EXPECT_EQ(call.cancel, "N");
    EXPECT_EQ(call.kind, TTipoMsg::tmErro);
    EXPECT_EQ(call.title, "");
    EXPECT_EQ(call.code, "002");
    EXPECT_EQ(call.time, 0);
    EXPECT_EQ(call.dataSet, nullptr);
    EXPECT_TRUE(openAfter);
    EXPECT_EQ(textAfter, "J");
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(outcome.result);
}

// --- Filter texts the search once got wrong ---------------------------------------------------

namespace {

/// ID integer, then the search column `searchName` string(20), then `QTD(UN` integer: a name
/// holding a parenthesis, which fooled a character scan of the base filter.
std::shared_ptr<const TColumnStore> stockStore(const char* searchName = "NOME") {
    TColumnStoreBuilder builder({{"ID", TFieldType::ftInteger, 0, true, {}},
                                 {searchName, TFieldType::ftString, 20, true, {}},
                                 {"QTD(UN", TFieldType::ftInteger, 0, true, {}}});
    const struct {
        int id;
        const char* name;
        int quantity;
    } rows[] = {{1, "Ana", 1}, {2, "Anabela", 0}, {3, "Beto", 1}, {4, "Antonio", 0}, {5, "Joana", 0}};
    for (const auto& row : rows) {
        builder.appendInteger(0, row.id);
        builder.appendString(1, row.name);
        builder.appendInteger(2, row.quantity);
        builder.endRow();
    }
    return builder.finish();
}

/// A search over stockStore(searchColumn): what it types, the filter it must build and the rows
/// that filter must leave.
struct MendCase {
    ExpressionCase search;
    const char* searchColumn;
    std::vector<std::string> expectedRows;
};

const MendCase kMends[] = {
    // The OR is at the top level although a bracketed name holds a parenthesis: without the
    // parentheses the search would bind to "ID = 4" alone and let Beto through.
    {{"orBesideBracketedNameWithParenthesis", DataKind::client, "[QTD(UN] = 1 OR ID = 4", "type:an",
      "([QTD(UN] = 1 OR ID = 4) AND UPPER(NOME) LIKE 'AN%'"},
     "NOME",
     {"Ana", "Antonio"}},
    {{"searchColumnWithBlankIsBracketed", DataKind::client, "", "type:an",
      "UPPER([NOME COMPLETO]) LIKE 'AN%'"},
     "NOME COMPLETO",
     {"Ana", "Anabela", "Antonio"}},
    {{"searchColumnWithHyphenIsBracketedOnPlainDataSet", DataKind::plain, "", "type:an",
      "[NOME-X] LIKE 'AN%'"},
     "NOME-X",
     {}},
    {{"searchColumnNamedLikeAKeywordIsBracketed", DataKind::client, "ID > 1", "type:an",
      "ID > 1 AND UPPER([LIKE]) LIKE 'AN%'"},
     "LIKE",
     {"Anabela", "Antonio"}},
    {{"baseFilterOfBlanksIsNoBaseFilter", DataKind::client, "   ", "type:an", "UPPER(NOME) LIKE 'AN%'"},
     "NOME",
     {"Ana", "Anabela", "Antonio"}},
};

class MendedFilter : public SearchScreenTest, public ::testing::WithParamInterface<MendCase> {};

} // namespace

TEST_P(MendedFilter, searchReadsAndSelectsWhatTheUserMeant) {
    const MendCase& c = GetParam();
    open(c.search.kind, c.search.baseFilter, stockStore(c.searchColumn));
    run(c.search.script);
    EXPECT_TRUE(messages->calls().empty()) << messages->calls().front().message;
    EXPECT_EQ(data->filter(), c.search.expected);
    std::vector<std::string> shown = names();
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, c.expectedRows);
    // Emptying the search text hands the host's own base filter back unchanged.
    run("key:Backspace key:Backspace");
    EXPECT_EQ(data->filter(), c.search.baseFilter);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

INSTANTIATE_TEST_SUITE_P(Search, MendedFilter, ::testing::ValuesIn(kMends),
                         [](const auto& info) { return std::string(info.param.search.name); });

// Moving through the rows, and the ways out of the screen: Confirm with the chosen row in place,
// Exit with the filter put back, Esc, Alt+F4 and the Enter button that follows the rows left.

#include "SearchScreenFixture.h"

#include <qmr41726/ui/forms/Messages.h>

#include <QApplication>

using namespace qmr;

namespace {

/// The NOME of the data set's current row.
std::string currentName(const TDataSet& data) {
    return data.field(1)->asString();
}

struct RowCase {
    const char* name;
    const char* script;
    const char* expected;
};

// Sorted on NOME (byte order): Ana, JOSE, Joana, Maria, Mario, joao.
const RowCase kRows[] = {
    {"opensOnFirstRow", "", "Ana"},
    {"previousOnFirstRowStays", "touch:sbtRolarCima", "Ana"},
    {"nextMovesDown", "touch:sbtRolarBaixo touch:sbtRolarBaixo", "Joana"},
    {"lastGoesToLastRow", "touch:sbtUltimo", "joao"},
    {"nextOnLastRowStays", "touch:sbtUltimo touch:sbtRolarBaixo", "joao"},
    {"previousFromLastRow", "touch:sbtUltimo touch:sbtRolarCima", "Mario"},
    {"firstFromLastRow", "touch:sbtUltimo touch:sbtPrimeiro", "Ana"},
    {"buttonsKeepTheSearch", "type:m touch:sbtUltimo", "Mario"},
};

class RowButtons : public SearchScreenTest, public ::testing::WithParamInterface<RowCase> {};

} // namespace

TEST_P(RowButtons, moveTheCurrentRowWithinTheRowsShown) {
    open(DataKind::client);
    run(GetParam().script);
    EXPECT_EQ(currentName(*data), GetParam().expected);
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Navigation, RowButtons, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SearchScreenTest, rowButtonsOnEmptyDataSetDoNothing) {
    open(DataKind::client, "", emptyPeopleStore());
    run("touch:sbtPrimeiro touch:sbtRolarBaixo touch:sbtUltimo touch:sbtRolarCima");
    EXPECT_EQ(data->recNo(), 0);
    EXPECT_TRUE(errors.empty());
}

TEST_F(SearchScreenTest, enterDisabledWhileNoRowIsLeftAndEnabledByBackspace) {
    open(DataKind::client);
    run("type:jox");
    EXPECT_FALSE(form->sbtEnter->enabled());
    run("key:Enter touch:sbtEnter");
    EXPECT_FALSE(form->boPesqOK);
    run("key:Backspace");
    EXPECT_TRUE(form->sbtEnter->enabled());
}

TEST_F(SearchScreenTest, touchingKeysLeavesTheFocusWhereItWas) {
    open(DataKind::client);
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    run("touch:sbtJ touch:sbtShift touch:sbtCapsLock touch:sbtBackSpace touch:sbtLimpar touch:sbtRolarBaixo");
    EXPECT_EQ(QApplication::focusWidget(), focused);
}

// The grid's options make Tab move the current cell, never the focus, also where no cell can take
// it: an empty grid, the last cell of the last row, Shift+Tab on the first cell.
TEST_F(SearchScreenTest, tabKeepsTheFocusOnTheGridWhereverTheCurrentCellIs) {
    for (const char* script : {"key:Tab", "type:xq key:Tab", "type:xq key:Shift+Tab",
                               "key:End key:Tab key:Tab key:Tab key:Tab", "key:Shift+Tab"}) {
        SCOPED_TRACE(script);
        open(DataKind::client);
        ASSERT_TRUE(form->dbgPesquisa->focused());
        run(script);
        EXPECT_TRUE(form->dbgPesquisa->focused());
        EXPECT_FALSE(form->edtFiltro->focused());
    }
}

namespace {

/// Runs the entry point over `data`; `script` runs on the shown screen, which is then closed if
/// it is still open. Returns the call's result.
bool callWith(TDataSet& data, const char* script) {
    return callScreen(paramsFor(data), [&](TfrmPesquisa& screen) { ScreenInput(screen).run(script); }).result;
}

struct ExitCase {
    const char* name;
    const char* script;
};

const ExitCase kExits[] = {
    {"exitKey", "type:mar touch:sbtSair"},
    {"escOnGrid", "type:mar key:Esc"},
    {"escOnFilterBox", "touch:edtFiltro type:mar key:Esc"},
};

class ExitScreen : public SearchScreenTest, public ::testing::WithParamInterface<ExitCase> {};

} // namespace

TEST_P(ExitScreen, returnsFalseWithFilterPutBack) {
    data = makeDataSet(DataKind::client, peopleStore());
    data->setFilter("ATIVO = 'S'");
    EXPECT_FALSE(callWith(*data, GetParam().script));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(data->filter(), "ATIVO = 'S'");
    EXPECT_EQ(data->recordCount(), 4);
    EXPECT_EQ(frmPesquisa, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Navigation, ExitScreen, ::testing::ValuesIn(kExits),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct ConfirmCase {
    const char* name;
    const char* script;
    const char* chosen;
};

const ConfirmCase kConfirms[] = {
    {"enterKeyOnSecondRow", "type:jo touch:sbtRolarBaixo touch:sbtEnter", "Joana"},
    {"physicalEnterOnGrid", "type:jo key:Enter", "JOSE"},
    {"physicalEnterOnFilterBox", "touch:edtFiltro type:jo touch:sbtUltimo key:Enter", "joao"},
    {"physicalEnterAfterTouches", "touch:sbtJ touch:sbtO touch:sbtUltimo key:Enter", "joao"},
};

class ConfirmScreen : public SearchScreenTest, public ::testing::WithParamInterface<ConfirmCase> {};

} // namespace

TEST_P(ConfirmScreen, returnsTrueOnTheChosenRowWithTheSearchKept) {
    data = makeDataSet(DataKind::client, peopleStore());
    EXPECT_TRUE(callWith(*data, GetParam().script));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(data->filter(), "UPPER(NOME) LIKE 'JO%'");
    EXPECT_TRUE(data->filtered());
    EXPECT_EQ(currentName(*data), GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(Navigation, ConfirmScreen, ::testing::ValuesIn(kConfirms),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SearchScreenTest, altF4LeavesScreenOpen) {
    data = makeDataSet(DataKind::client, peopleStore());
    bool openAfterGrid = false;
    bool openAfterFilterBox = false;
    const TScreenOutcome outcome = callScreen(paramsFor(*data), [&](TfrmPesquisa& screen) {
        ScreenInput input(screen);
        input.run("key:Alt+F4");
        QCoreApplication::processEvents();
        openAfterGrid = screen.modal();
        input.run("touch:edtFiltro key:Alt+F4");
        QCoreApplication::processEvents();
        openAfterFilterBox = screen.modal();
    });
    EXPECT_TRUE(openAfterGrid);
    EXPECT_TRUE(openAfterFilterBox);
    EXPECT_FALSE(outcome.result);
}

namespace {

struct NoRowCase {
    const char* name;
    std::shared_ptr<const TColumnStore> (*rows)();
    const char* baseFilter;
};

const NoRowCase kNoRows[] = {
    {"emptyDataSet", emptyPeopleStore, ""},
    {"baseFilterLeavesNoRow", [] { return peopleStore(); }, "CODIGO = 99"},
};

class NoRowToConfirm : public SearchScreenTest, public ::testing::WithParamInterface<NoRowCase> {};

} // namespace

TEST_P(NoRowToConfirm, enterStartsDisabledAndTheCallCannotReturnTrue) {
    data = makeDataSet(DataKind::client, GetParam().rows());
    data->setFilter(GetParam().baseFilter);
    data->setFiltered(true);
    bool enterEnabled = true;
    const TScreenOutcome touched = callScreen(paramsFor(*data), [&](TfrmPesquisa& screen) {
        enterEnabled = screen.sbtEnter->enabled();
        ScreenInput(screen).run("touch:sbtEnter key:Enter");
        // Clicking from code reaches Confirm even on a disabled key; Confirm itself refuses.
        screen.sbtEnter->click();
    });
    EXPECT_FALSE(enterEnabled);
    EXPECT_FALSE(touched.result);
}

INSTANTIATE_TEST_SUITE_P(Navigation, NoRowToConfirm, ::testing::ValuesIn(kNoRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The row buttons and the filter box answer touches at the places the layout gives them.
TEST_F(SearchScreenTest, rowButtonsAndFilterBoxAnswerTouchesWhereTheyAreLaidOut) {
    open(DataKind::client);
    ScreenInput input(*form);
    const struct {
        const char* button;
        QPoint centre;
        int recNo;
    } touches[] = {{"sbtUltimo", {596, 276}, 6},
                   {"sbtRolarCima", {596, 156}, 5},
                   {"sbtPrimeiro", {596, 91}, 1},
                   {"sbtRolarBaixo", {596, 218}, 2}};
    for (const auto& t : touches) {
        input.touchAt(t.centre);
        EXPECT_EQ(data->recNo(), t.recNo) << t.button;
    }
    EXPECT_FALSE(form->edtFiltro->focused());
    input.touchAt({18 + 596 / 2, 18 + 37 / 2});
    EXPECT_TRUE(form->edtFiltro->focused());
}

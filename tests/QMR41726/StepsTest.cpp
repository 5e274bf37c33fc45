// Steps of the screen that leave no trace in the search text or the filter: the repaint after
// Clear and Backspace, the release FormClose asks for, and the Enter that PostText can send.

#include "SearchScreenFixture.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QEvent>

using namespace qmr;

/// Calls the screen's private steps.
struct TfrmPesquisaTestAccess {
    static void PostText(TfrmPesquisa& form, const AnsiString& Texto, bool boReturn, bool boChar) {
        form.PostText(Texto, boReturn, boChar);
    }
};

namespace {

/// Records, for every paint of the grid's rows, the search text and the number of rows the data
/// set shows at that moment.
class GridPaints : public QObject {
public:
    GridPaints(const TfrmPesquisa& form, const TDataSet& data) : m_form(form), m_data(data) {
        auto* view = qobject_cast<QAbstractScrollArea*>(form.dbgPesquisa->widget());
        if (view)
            view->viewport()->installEventFilter(this);
    }
    std::vector<std::pair<AnsiString, int>> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            paints.emplace_back(m_form.edtFiltro->text(), m_data.recordCount());
        return QObject::eventFilter(watched, event);
    }

private:
    const TfrmPesquisa& m_form;
    const TDataSet& m_data;
};

} // namespace

// The Clear and Backspace keys repaint the form before their click returns, so the new rows show
// at once, not whenever the event loop next gets to the pending update.
TEST_F(SearchScreenTest, clearAndBackspaceKeysShowTheNewRowsBeforeTheirClickReturns) {
    const struct {
        const char* key;
        const char* textAfter;
        int rowsAfter;
    } cases[] = {{"sbtLimpar", "", 6}, {"sbtBackSpace", "Jo", 3}};
    for (const auto& c : cases) {
        form.reset(); // the form borrows the data set: it goes first
        open(DataKind::client);
        run("type:jos");
        QCoreApplication::processEvents(); // nothing left pending from the typing
        GridPaints grid(*form, *data);
        // Clicked from code: the test lets no event loop run before it looks.
        dynamic_cast<TControl&>(*form->findComponent(c.key)).click();
        ASSERT_FALSE(grid.paints.empty()) << c.key;
        EXPECT_EQ(grid.paints.back(), std::make_pair(AnsiString(c.textAfter), c.rowsAfter));
    }
}

// FormClose asks for the form to be released once the close is done; the form itself is still
// there for its caller (the entry point) to free.
TEST_F(SearchScreenTest, closingTheScreenRequestsItsRelease) {
    for (const char* script : {"touch:sbtSair", "type:jo touch:sbtEnter", "key:Esc"}) {
        form.reset(); // the form borrows the data set: it goes first
        open(DataKind::client);
        EXPECT_FALSE(form->releaseRequested());
        run(script);
        QCoreApplication::processEvents();
        EXPECT_FALSE(form->widget()->isVisible()) << script;
        EXPECT_TRUE(form->releaseRequested()) << script;
    }
}

namespace {

struct PostCase {
    const char* name;
    const char* texto;
    bool boReturn;
    bool boChar;
    const char* textAfter;
    bool confirmed;
};

const PostCase kPosts[] = {
    {"charactersThenEnterConfirm", "jo", true, true, "jo", true},
    {"emptyTextSendsOnlyEnter", "", true, true, "", true},
    {"charactersWithoutEnterStayOpen", "jo", false, true, "jo", false},
    {"keyDownOfFullStopIsDelete", ".", false, false, "", false},
    {"enterAfterKeyDownsConfirms", "\b", true, false, "J", true},
};

class PostTextSends : public SearchScreenTest, public ::testing::WithParamInterface<PostCase> {};

} // namespace

TEST_P(PostTextSends, eachCharacterThenTheOptionalEnterToTheFormItself) {
    const PostCase& c = GetParam();
    open(DataKind::client);
    run("type:jo");
    if (c.boChar)
        run("key:Delete");
    TfrmPesquisaTestAccess::PostText(*form, c.texto, c.boReturn, c.boChar);
    EXPECT_EQ(searchText(), c.textAfter);
    EXPECT_EQ(form->boPesqOK, c.confirmed);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->widget()->isVisible(), !c.confirmed);
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, PostTextSends, ::testing::ValuesIn(kPosts),
                         [](const auto& info) { return std::string(info.param.name); });

// The data-aware grid on a shown form, as the search screen places it: larger than the panel
// that clips it. Real mouse and key events; the data set and the grid must agree on the current
// row whichever side moves it.
#include "InputDriver.h"

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/data/dataset/TDataSource.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/controls/TPanel.h>
#include <qmr41726/ui/forms/Layout.h>
#include <qmr41726/ui/forms/PropertyValues.h>
#include <qmr41726/ui/forms/TClassRegistry.h>
#include <qmr41726/ui/forms/TForm.h>
#include <qmr41726/ui/grid/TDBGrid.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace qmr;

namespace {

/// CODIGO integer "Codigo", NOME string(nameSize) "Nome", a hidden ID, CIDADE string(15); NOME
/// runs Nome 01, Nome 02 ... and CIDADE alternates Lisboa and Porto.
std::shared_ptr<const TColumnStore> peopleStore(int rows, int nameSize = 30) {
    TColumnStoreBuilder builder({{"CODIGO", TFieldType::ftInteger, 0, true, "Codigo"},
                                 {"NOME", TFieldType::ftString, nameSize, true, "Nome"},
                                 {"ID", TFieldType::ftInteger, 0, false, {}},
                                 {"CIDADE", TFieldType::ftString, 15, true, {}}});
    for (int row = 1; row <= rows; ++row) {
        builder.appendInteger(0, row);
        builder.appendString(1, (row < 10 ? "Nome 0" : "Nome ") + std::to_string(row));
        builder.appendInteger(2, 1000 + row);
        builder.appendString(3, row % 2 ? "Lisboa" : "Porto");
        builder.endRow();
    }
    return builder.finish();
}

/// A form with the grid placed as on the search screen: a 533 x 223 panel and, inside it, a
/// 606 x 243 grid at -3, -3 with the screen's fonts and options.
class DBGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Application)
            m_application = std::make_unique<TApplication>();
        Application->setExceptionHandler([this](const std::exception& e) { errors.push_back(e.what()); });
        form = std::make_unique<TForm>();
        form->setClientSize(640, 552);
        panel = form->adopt(std::make_unique<TPanel>());
        panel->setParent(form.get());
        panel->setBounds(21, 71, 533, 223);
        grid = form->adopt(std::make_unique<TDBGrid>());
        grid->setName("dbgPesquisa");
        grid->setParent(panel);
        grid->setBounds(-3, -3, 606, 243);
        grid->setFont({"Tahoma", -16, clNavy, true, 0});
        grid->setTitleFont({"Tahoma", -19, clWindowText, true, 0});
        grid->setColor(clInfoBk);
        grid->setFixedColor(clNavy);
        grid->setOptions(dgTitles | dgColumnResize | dgRowLines | dgTabs | dgAlwaysShowSelection |
                         dgCancelOnExit);
        source = form->adopt(std::make_unique<TDataSource>());
        source->setName("dtsPesquisa");
    }

    void TearDown() override {
        form.reset();
        Application->setExceptionHandler(nullptr);
    }

    /// Links the grid to a client data set over `rows` and shows the form with the grid focused.
    void open(std::shared_ptr<const TColumnStore> rows) {
        data = std::make_unique<TClientDataSet>(std::move(rows));
        source->setDataSet(data.get());
        grid->setDataSource(source);
        show();
    }

    void show() {
        form->widget()->show();
        form->widget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form->widget()));
        grid->setFocus();
    }

    QTableView& view() const { return *static_cast<QTableView*>(grid->widget()); }

    /// The CODIGO of the row the grid shows as current, once the grid has caught up; 0 for none.
    int currentCode() const {
        QCoreApplication::processEvents();
        const QModelIndex current = view().currentIndex();
        return current.isValid() ? current.sibling(current.row(), 0).data().toInt() : 0;
    }

    /// What the user sees of the viewport: the panel's area, in viewport coordinates.
    QRect seenPart() const {
        QWidget* viewport = view().viewport();
        return QRect(viewport->mapFrom(panel->widget(), QPoint(0, 0)), panel->widget()->size());
    }

    void touch(const TTouchPoint& point) {
        ASSERT_TRUE(point.widget);
        InputDriver(*form).touchAt(point.widget, point.position);
    }

    void press(Qt::Key key) { QTest::keyClick(&view(), key); }

    std::unique_ptr<TApplication> m_application;
    std::vector<std::string> errors;
    std::unique_ptr<TClientDataSet> data;
    std::unique_ptr<TForm> form;
    TPanel* panel = nullptr;
    TDBGrid* grid = nullptr;
    TDataSource* source = nullptr;
};

// A value of megabytes is shown by its start: converting and laying it out whole cost seconds
// on every refresh.
TEST_F(DBGridTest, aHugeValueIsHeldByItsStartOnly) {
    TColumnStoreBuilder builder(
        {{"CODIGO", TFieldType::ftInteger, 0, true, {}}, {"NOME", TFieldType::ftString, 30, true, {}}});
    builder.appendInteger(0, 1);
    builder.appendString(1, "Ana" + std::string(10 << 20, 'a'));
    builder.endRow();
    open(builder.finish());
    const QString shown = view().model()->index(0, 1).data().toString();
    EXPECT_EQ(shown.size(), 1024);
    EXPECT_TRUE(shown.startsWith("Anaaaa"));
}

TEST_F(DBGridTest, columnsAreTheVisibleFieldsInOrderTitledWithTheirLabels) {
    open(peopleStore(3));
    ASSERT_EQ(grid->columnCount(), 3);
    const char* names[] = {"CODIGO", "NOME", "CIDADE"};
    const char* titles[] = {"Codigo", "Nome", "CIDADE"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(grid->column(i)->fieldName(), names[i]);
        EXPECT_EQ(grid->column(i)->index(), i);
        EXPECT_EQ(view().model()->headerData(i, Qt::Horizontal).toString().toStdString(), titles[i]);
    }
    EXPECT_EQ(view().model()->index(1, 1).data().toString(), "Nome 02");
    EXPECT_THROW(grid->column(3), EListError);
    EXPECT_THROW(grid->column(-1), EListError);
}

TEST_F(DBGridTest, gridFollowsTheDataSetAndATouchedRowMovesTheDataSet) {
    open(peopleStore(40));
    data->setRecNo(5);
    EXPECT_EQ(currentCode(), 5);

    data->last();
    EXPECT_EQ(currentCode(), 40);
    const QRect last = view().visualRect(view().currentIndex());
    EXPECT_TRUE(seenPart().contains(last)) << "the last row is hidden under the panel edge";
    EXPECT_LT(seenPart().bottom() - last.bottom(), last.height()) << "rows left empty below the last";

    data->first();
    touch(grid->rowTouchPoint(2));
    EXPECT_EQ(data->recNo(), 3);
    EXPECT_EQ(currentCode(), 3);
    EXPECT_TRUE(errors.empty());
}

TEST_F(DBGridTest, keysMoveTheDataSetCursorButTypedLettersAndEditKeysDoNot) {
    open(peopleStore(60));
    press(Qt::Key_Down);
    EXPECT_EQ(data->recNo(), 2);
    press(Qt::Key_PageDown);
    const int afterPage = data->recNo();
    EXPECT_GT(afterPage, 2);
    EXPECT_TRUE(seenPart().contains(view().visualRect(view().currentIndex())));

    QTest::keyClicks(&view(), "N");
    press(Qt::Key_F2);
    press(Qt::Key_Return);
    const QRect cell = view().visualRect(view().currentIndex());
    QTest::mouseDClick(view().viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(data->recNo(), afterPage);
    EXPECT_EQ(view().findChild<QLineEdit*>(), nullptr) << "an editor opened";

    QWheelEvent down(QPointF(cell.center()), QPointF(view().viewport()->mapToGlobal(cell.center())), QPoint(),
                     QPoint(0, -2 * QWheelEvent::DefaultDeltasPerStep), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(view().viewport(), &down);
    EXPECT_EQ(data->recNo(), afterPage + 2) << "two wheel steps move two rows";

    press(Qt::Key_Tab);
    EXPECT_EQ(view().currentIndex().column(), 1);
    EXPECT_TRUE(grid->focused());
}

TEST_F(DBGridTest, touchingATitleReportsThatColumn) {
    open(peopleStore(5));
    std::vector<TColumn*> clicked;
    grid->onTitleClick = [&](TColumn* column) { clicked.push_back(column); };
    touch(grid->titleTouchPoint(2));
    touch(grid->titleTouchPoint(0));
    ASSERT_EQ(clicked.size(), 2u);
    EXPECT_EQ(clicked[0], grid->column(2));
    EXPECT_EQ(clicked[0]->fieldName(), "CIDADE");
    EXPECT_EQ(clicked[1], grid->column(0));
    EXPECT_EQ(data->recNo(), 1) << "a title touch does not move the data set";
}

TEST_F(DBGridTest, titleColoursSurviveFilteringAndSortingButNotANewDataSet) {
    open(peopleStore(10));
    data->indexDefs().add("NOME", "NOME", 0);
    TColumn* nome = grid->column(1);
    nome->setTitleFontColor(clPurple);
    grid->column(0)->setTitleFontColor(clNavy);

    data->setFilter("CIDADE LIKE 'P%'");
    data->setFiltered(true);
    data->setIndexName("NOME");
    QCoreApplication::processEvents();
    EXPECT_EQ(view().model()->rowCount(), 5);
    EXPECT_EQ(grid->column(1), nome);
    EXPECT_EQ(grid->column(1)->titleFontColor(), clPurple);
    EXPECT_EQ(grid->column(2)->titleFontColor(), clWindowText);

    // The purple title is painted: some pixel of its section has the colour.
    const TTouchPoint title = grid->titleTouchPoint(1);
    const QImage image = title.widget->grab().toImage();
    bool purple = false;
    for (int x = 0; x < image.width() && !purple; ++x)
        purple = image.pixelColor(x, title.position.y()) == QColor(0x80, 0x00, 0x80);
    EXPECT_TRUE(purple);

    TClientDataSet other(peopleStore(2));
    source->setDataSet(&other);
    EXPECT_EQ(grid->column(1)->titleFontColor(), clWindowText);
    EXPECT_EQ(view().model()->rowCount(), 2);
    source->setDataSet(nullptr);
    EXPECT_EQ(grid->columnCount(), 0);
}

TEST_F(DBGridTest, dataSourceNamedInTheLayoutIsFoundOnTheFormWhenFirstNeeded) {
    TEventBinder events("dbgPesquisa", {});
    ASSERT_TRUE(grid->setProperty("DataSource", "dtsLater", events));
    auto* later = form->adopt(std::make_unique<TDataSource>());
    later->setName("dtsLater");
    TClientDataSet rows(peopleStore(3));
    later->setDataSet(&rows);
    EXPECT_EQ(grid->columnCount(), 3);
    EXPECT_EQ(grid->dataSource(), later);

    ASSERT_TRUE(grid->setProperty("DataSource", "dtsNowhere", events));
    try {
        grid->column(0);
        ADD_FAILURE() << "no error";
    } catch (const EComponentError& error) {
        EXPECT_NE(error.Message().find("dtsNowhere"), std::string::npos) << error.Message();
    }
    show();
    ASSERT_EQ(errors.size(), 1u) << "showing the grid reports the missing data source";
    EXPECT_NE(errors[0].find("dtsNowhere"), std::string::npos);
}

TEST_F(DBGridTest, dataSourceFreedBeforeTheGridIsLetGo) {
    open(peopleStore(3));
    form->disown(source).reset();
    EXPECT_EQ(grid->dataSource(), nullptr);
    EXPECT_EQ(grid->columnCount(), 0);
    EXPECT_EQ(view().model()->rowCount(), 0);
    data->next(); // the data set no longer reaches the grid through a freed source
}

TEST_F(DBGridTest, columnsAreAsWideAsTheirFieldsAndTitlesSoLongOnesReachPastThePanel) {
    TColumnStoreBuilder builder({{"A", TFieldType::ftString, 1, true, "A very long title for one letter"},
                                 {"TEXTO", TFieldType::ftString, 60, true, {}},
                                 {"B", TFieldType::ftString, 10, true, {}}});
    builder.appendString(0, "x");
    builder.appendString(1, "y");
    builder.appendString(2, "z");
    builder.endRow();
    open(builder.finish());
    const QHeaderView& titles = *view().horizontalHeader();
    const int titleWidth = QFontMetrics(qtFont(grid->titleFont())).horizontalAdvance("A very long title");
    EXPECT_GT(titles.sectionSize(0), titleWidth);
    EXPECT_GT(titles.sectionSize(1), 5 * titles.sectionSize(2)) << "60 characters against 10";
    EXPECT_GT(titles.sectionViewportPosition(2), seenPart().right())
        << "the third column starts off the panel";

    // Tab brings a column from past the edge into view.
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    ASSERT_EQ(view().currentIndex().column(), 2);
    EXPECT_TRUE(seenPart().contains(view().visualRect(view().currentIndex())));
}

TEST_F(DBGridTest, theGridHoldsOnlyTheRowsItShowsWhereverTheCurrentRowIs) {
    open(peopleStore(20000));
    const int held = view().model()->rowCount();
    EXPECT_LT(held, 20) << "the view keeps rows it cannot show";

    data->setRecNo(12345);
    EXPECT_EQ(currentCode(), 12345);
    EXPECT_TRUE(seenPart().contains(view().visualRect(view().currentIndex())));
    EXPECT_EQ(view().model()->rowCount(), held);

    // A touch on a row of the moved window moves the data set to that row.
    touch(grid->rowTouchPoint(1));
    EXPECT_EQ(data->recNo(), view().model()->index(1, 0).data().toInt());

    press(Qt::Key_Down);
    EXPECT_EQ(currentCode(), data->recNo());
    QTest::keyClick(&view(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(data->recNo(), 20000);
    EXPECT_EQ(currentCode(), 20000);
    press(Qt::Key_Down);
    EXPECT_EQ(data->recNo(), 20000) << "Down on the last row stays";
    press(Qt::Key_PageUp);
    const int page = (seenPart() & view().viewport()->rect()).height() / view().rowHeight(0);
    EXPECT_EQ(data->recNo(), 20000 - page) << "a page is the whole rows seen";
    EXPECT_TRUE(seenPart().contains(view().visualRect(view().currentIndex())));
    QTest::keyClick(&view(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(data->recNo(), 1);
    press(Qt::Key_Up);
    EXPECT_EQ(data->recNo(), 1);

    // Home and End alone move along the row.
    press(Qt::Key_End);
    EXPECT_EQ(view().currentIndex().column(), 2);
    EXPECT_EQ(data->recNo(), 1);
    press(Qt::Key_Tab);
    EXPECT_EQ(data->recNo(), 2) << "Tab past the last column goes on to the next row";
    EXPECT_EQ(view().currentIndex().column(), 0);
    EXPECT_TRUE(errors.empty());
}

/// For every paint of the grid's rows, the first row's NOME and the number of rows held.
class RowPaints : public QObject {
public:
    explicit RowPaints(QTableView& view) : m_view(view) { view.viewport()->installEventFilter(this); }
    std::vector<std::pair<QString, int>> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_view.viewport() && event->type() == QEvent::Paint)
            paints.emplace_back(m_view.model()->index(0, 1).data().toString(), m_view.model()->rowCount());
        return QObject::eventFilter(watched, event);
    }

private:
    QTableView& m_view;
};

TEST_F(DBGridTest, aSearchsNotificationsRefreshTheRowsOnceAndTheNextPaintShowsThem) {
    // The notifications of one search, as the screen sends them: the filter text while filtered,
    // everything shown, filtered again.
    open(peopleStore(40));
    const int held = view().model()->rowCount();
    auto search = [&](const char* filter) {
        data->setFilter(filter);
        data->setFiltered(false);
        data->setFiltered(true);
    };
    search("CIDADE LIKE 'L%'");
    QCoreApplication::processEvents();
    std::vector<std::pair<QString, int>> refreshes;
    QObject::connect(view().model(), &QAbstractItemModel::dataChanged, [&] {
        refreshes.emplace_back(view().model()->index(0, 1).data().toString(), view().model()->rowCount());
    });
    RowPaints painted(view());

    search("NOME LIKE 'Nome 3%'");
    form->repaint(); // the Clear and Backspace keys repaint at once
    ASSERT_EQ(refreshes.size(), 1u) << "one refresh per search, and no unfiltered rows in between";
    EXPECT_EQ(refreshes[0], std::make_pair(QString("Nome 30"), std::min(10, held)));
    ASSERT_FALSE(painted.paints.empty());
    EXPECT_EQ(painted.paints.front(), refreshes[0]) << "the repaint showed the rows before the search";
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes.size(), 1u);

    search("CIDADE LIKE 'X%'");
    QCoreApplication::processEvents();
    EXPECT_EQ(view().model()->rowCount(), 0);
    EXPECT_FALSE(view().currentIndex().isValid());
    search("");
    EXPECT_EQ(currentCode(), 1);
    EXPECT_TRUE(errors.empty());
}

} // namespace

// The screen as the user sees it once the entry point has opened it: the components, their
// places, colours and fonts, the handlers they are bound to, and pixels of the painted window.

#include "SetupHarness.h"

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/framework/controls/TBlendedButton.h>
#include <qmr41726/ui/forms/PropertyValues.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QScreen>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace qmr;

namespace {

/// Runs `check` on the screen opened over the product rows.
void withScreen(const std::function<void(TfrmPesquisa&)>& check) {
    TClientDataSet dataSet(productStore());
    dataSet.open();
    TMensagemRecorder recorder;
    ASSERT_TRUE(callScreen(paramsFor(dataSet), check).shown);
    EXPECT_TRUE(recorder.calls().empty());
}

std::vector<AnsiString> keyNames() {
    return {"sbt1",      "sbt2",       "sbt3",        "sbt4",      "sbt5",     "sbt6",     "sbt7",
            "sbt8",      "sbt9",       "sbt0",        "sbtQ",      "sbtW",     "sbtE",     "sbtR",
            "sbtT",      "sbtY",       "sbtU",        "sbtI",      "sbtO",     "sbtP",     "sbtL",
            "sbtK",      "sbtVirgula", "sbtPonto",    "sbtBarra",  "sbtM",     "sbtJ",     "sbtN",
            "sbtG",      "sbtH",       "sbtB",        "sbtV",      "sbtF",     "sbtD",     "sbtC",
            "sbtX",      "sbtS",       "sbtA",        "sbtZ",      "sbtCCdil", "sbtEnter", "sbtContraBarra",
            "sbtLimpar", "sbt_",       "sbtCapsLock", "sbtEspaco", "sbtShift", "sbtSair",  "sbtBackSpace"};
}

TControl* control(TfrmPesquisa& form, std::string_view name) {
    return dynamic_cast<TControl*>(form.findComponent(name));
}

QColor rgb(TColor color) {
    return QColor(colorRed(color), colorGreen(color), colorBlue(color));
}

/// Whether the arrow pixels (#300060) of `glyph` appear in `image` at some place inside `area`,
/// with every other glyph pixel showing the button's face.
bool showsGlyph(const QImage& image, const QRect& area, const QImage& glyph, const QColor& face) {
    const QColor arrow(0x30, 0x00, 0x60);
    for (int top = area.top(); top + glyph.height() <= area.bottom() + 1; ++top)
        for (int left = area.left(); left + glyph.width() <= area.right() + 1; ++left) {
            bool matches = true;
            for (int y = 0; matches && y < glyph.height(); ++y)
                for (int x = 0; matches && x < glyph.width(); ++x) {
                    const bool isArrow = glyph.pixelColor(x, y) == arrow;
                    matches = (image.pixelColor(left + x, top + y) == (isArrow ? arrow : face));
                }
            if (matches)
                return true;
        }
    return false;
}

/// The run lengths of arrow pixels per row of a navigation glyph, checking each run is centred.
std::vector<int> centredRuns(const QImage& glyph) {
    std::vector<int> runs;
    for (int y = 0; y < glyph.height(); ++y) {
        int first = -1, count = 0;
        for (int x = 0; x < glyph.width(); ++x)
            if (glyph.pixelColor(x, y) == QColor(0x30, 0x00, 0x60)) {
                first = first < 0 ? x : first;
                ++count;
            } else if (glyph.pixelColor(x, y) != QColor(Qt::white)) {
                return {-1};
            }
        if (count > 0 && first != (21 - count) / 2)
            return {-2};
        runs.push_back(count);
    }
    return runs;
}

std::vector<int> widening(int from, int to) {
    std::vector<int> runs;
    for (int n = from; to >= from ? n <= to : n >= to; n += to >= from ? 2 : -2)
        runs.push_back(n);
    return runs;
}

std::vector<int> operator+(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(ScreenLayout, formIsABorderlessCentredWindowThatPreviewsKeys) {
    withScreen([](TfrmPesquisa& form) {
        EXPECT_EQ(form.width(), 640);
        EXPECT_EQ(form.height(), 552);
        EXPECT_TRUE(form.widget()->windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_TRUE(form.keyPreview());
        EXPECT_EQ(form.color(), clWhite);
        EXPECT_EQ(form.font(), (TFont{"MS Sans Serif", -11, clMenu, false, 1}));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect window = form.widget()->frameGeometry();
        EXPECT_LE(std::abs(window.center().x() - screen.center().x()), 1);
        EXPECT_LE(std::abs(window.center().y() - screen.center().y()), 1);
        EXPECT_EQ(form.activeControl(), form.dbgPesquisa) << "the grid is first in tab order";
    });
}

// What no pixel shows: the message list, the unbound timer, the grid's options and hint, and the
// tab order that puts the grid before the filter box.
TEST(ScreenLayout, nonVisualPropertiesCarryTheirLayoutValues) {
    withScreen([](TfrmPesquisa& form) {
        EXPECT_EQ(form.msgPadrao->messages(),
                  (std::vector<AnsiString>{"FILIAL|Filial", "Operador|Operador", "Versao|Vers\xE3o "}));
        EXPECT_FALSE(form.timDataHora->onTimer);
        EXPECT_EQ(form.dbgPesquisa->options(), unsigned(dgTitles | dgColumnResize | dgRowLines | dgTabs |
                                                        dgAlwaysShowSelection | dgCancelOnExit));
        EXPECT_EQ(form.dbgPesquisa->hint(), "''");
        EXPECT_FALSE(form.dbgPesquisa->showHint());
        EXPECT_TRUE(form.edtFiltro->readOnly());
        EXPECT_EQ(form.panGrid->tabOrder(), 0);
        EXPECT_EQ(form.edtFiltro->tabOrder(), 1);
    });
}

TEST(ScreenLayout, rowButtonGlyphsAreTheDescribedArrowheads) {
    withScreen([](TfrmPesquisa& form) {
        const std::vector<int> up = widening(1, 21);
        const std::vector<int> down = widening(21, 1);
        const struct {
            TdxfColorButton* button;
            int height;
            std::vector<int> runs;
        } glyphs[] = {
            {form.sbtRolarCima, 12, up + std::vector<int>{0}},
            {form.sbtRolarBaixo, 11, down},
            {form.sbtPrimeiro, 20, up + widening(11, 21) + std::vector<int>{0, 0, 0}},
            {form.sbtUltimo, 20, std::vector<int>{0, 0, 0} + widening(21, 11) + down},
        };
        for (const auto& g : glyphs) {
            SCOPED_TRACE(g.button->name());
            const QImage& glyph = g.button->glyph();
            EXPECT_EQ(glyph.size(), QSize(21, g.height));
            EXPECT_EQ(glyph.depth(), 32) << "a 24-bit bitmap loads as RGB32";
            EXPECT_EQ(glyph.pixelColor(0, glyph.height() - 1), QColor(Qt::white));
            EXPECT_EQ(centredRuns(glyph), g.runs);
        }
    });
}

TEST(ScreenLayout, clearAndExitGlyphsStandOnTheirBackgrounds) {
    withScreen([](TfrmPesquisa& form) {
        const QImage& pencil = form.sbtLimpar->glyph();
        EXPECT_EQ(pencil.size(), QSize(40, 38));
        EXPECT_EQ(pencil.pixelColor(0, 37), QColor(0x00, 0x40, 0x80));
        const QImage& door = form.sbtSair->glyph();
        EXPECT_EQ(door.size(), QSize(36, 35));
        EXPECT_EQ(door.pixelColor(0, 34), QColor(0x80, 0x80, 0x00));
        EXPECT_EQ(form.sbtLimpar->caption(), "");
        EXPECT_EQ(form.sbtSair->caption(), "");
        EXPECT_EQ(form.sbtEspaco->caption(), "");
    });
}

TEST(ScreenPixels, outlineRimPlatesKeysAndRowButtonsShowOnTheGrabbedWindow) {
    withScreen([](TfrmPesquisa& form) {
        const QImage image = form.widget()->grab().toImage();
        ASSERT_EQ(image.size(), QSize(640, 552));
        const struct {
            const char* what;
            int x, y;
            QColor colour;
        } points[] = {
            {"top-left corner", 0, 0, Qt::white},
            {"top-right corner", 639, 0, Qt::white},
            {"bottom-left corner", 0, 551, Qt::white},
            {"bottom-right corner", 639, 551, Qt::white},
            {"outline top", 320, 0, Qt::black},
            {"outline left", 0, 276, Qt::black},
            {"outline right", 639, 276, Qt::black},
            {"outline bottom", 320, 551, Qt::black},
            {"rim left", 3, 276, rgb(clPaleGreen)},
            {"rim top", 320, 3, rgb(clPaleGreen)},
            {"rim right", 636, 276, rgb(clPaleGreen)},
            {"rim bottom", 320, 548, rgb(clPaleGreen)},
            {"inner plate", 300, 304, rgb(TBlendedShape::kDefaultBrushColor)},
            {"grid plate left of the grid", 18, 180, rgb(clPaleGreen)},
            {"grid plate below the grid", 300, 298, rgb(clPaleGreen)},
            {"grid plate right of the grid", 557, 180, rgb(clPaleGreen)},
            {"row button face", 577, 91, rgb(clLightGreen)},
            {"title row at the grid's top-left", 22, 72, rgb(clNavy)},
        };
        for (const auto& p : points)
            EXPECT_EQ(image.pixelColor(p.x, p.y), p.colour) << p.what;
    });
}

TEST(ScreenPixels, keyFacesAreDrawnPaleGreenAndRowButtonsShowTheirGlyphs) {
    withScreen([](TfrmPesquisa& form) {
        const QImage image = form.widget()->grab().toImage();
        for (const AnsiString& key : keyNames()) {
            TControl* c = control(form, key);
            EXPECT_EQ(image.pixelColor(c->left() + 2, c->top() + c->height() / 2), rgb(clPaleGreen)) << key;
        }
        for (TdxfColorButton* button :
             {form.sbtPrimeiro, form.sbtRolarCima, form.sbtRolarBaixo, form.sbtUltimo}) {
            const QRect area(button->left(), button->top(), button->width(), button->height());
            EXPECT_TRUE(showsGlyph(image, area, button->glyph(), rgb(clLightGreen))) << button->name();
        }
    });
}

TEST(ScreenPixels, gridShowsNoBorderNoScrollBarAndStaysInsideItsPanel) {
    // Enough rows to need a scroll bar, and narrow columns, so that the grid's empty area shows
    // at the right of the visible window.
    TClientDataSet dataSet(stringStore({"A", "B"}, 40));
    dataSet.open();
    TMensagemRecorder recorder;
    callScreen(paramsFor(dataSet), [](TfrmPesquisa& form) {
        const QImage image = form.widget()->grab().toImage();
        // Just inside the panel's right and bottom edges the grid shows its background, not a
        // frame or a scroll bar; just outside them the plate around the grid shows.
        for (int y = 120; y < 290; y += 10) {
            EXPECT_EQ(image.pixelColor(553, y), rgb(clInfoBk)) << "right edge at y " << y;
            EXPECT_EQ(image.pixelColor(554, y), rgb(clPaleGreen)) << "beside the panel at y " << y;
        }
        for (int x = 300; x < 550; x += 25) {
            EXPECT_EQ(image.pixelColor(x, 293), rgb(clInfoBk)) << "bottom edge at x " << x;
            EXPECT_EQ(image.pixelColor(x, 294), rgb(clPaleGreen)) << "below the panel at x " << x;
        }
        EXPECT_EQ(image.pixelColor(21, 71), rgb(clNavy)) << "top-left corner of the visible grid";
    });
}

// Each plate shows its fill right up to its edges and what lies below it just outside them, with
// no outline between, and its corners rounded off: the plates stand where they are laid out and
// are painted in creation order.
TEST(ScreenPixels, platesFillExactlyTheirRoundedRectanglesWithoutOutline) {
    withScreen([](TfrmPesquisa& form) {
        const QImage image = form.widget()->grab().toImage();
        const QColor green = rgb(clPaleGreen), white = Qt::white, black = Qt::black;
        const struct {
            const char* plate;
            QRect rect;
            QColor fill, below;
        } plates[] = {{"rim", {1, 1, 638, 550}, green, black},
                      {"inner plate", {6, 6, 626, 538}, white, green},
                      {"grid plate", {16, 67, 545, 234}, green, white}};
        for (const auto& p : plates) {
            SCOPED_TRACE(p.plate);
            const QRect r = p.rect;
            const QPoint c = r.center();
            // The middle of each edge, just inside and just outside.
            const std::pair<QPoint, QPoint> edges[] = {{{r.left(), c.y()}, {r.left() - 1, c.y()}},
                                                       {{r.right(), c.y()}, {r.right() + 1, c.y()}},
                                                       {{c.x(), r.top()}, {c.x(), r.top() - 1}},
                                                       {{c.x(), r.bottom()}, {c.x(), r.bottom() + 1}}};
            for (const auto& [inside, outside] : edges) {
                EXPECT_EQ(image.pixelColor(inside), p.fill) << inside.x() << "," << inside.y();
                EXPECT_EQ(image.pixelColor(outside), p.below) << outside.x() << "," << outside.y();
            }
            for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
                EXPECT_NE(image.pixelColor(corner), p.fill) << "corner " << corner.x() << "," << corner.y();
        }
    });
}

namespace {

/// The rows of `image` inside `area` that hold a pixel of `colour`.
int rowsHolding(const QImage& image, const QRect& area, const QColor& colour) {
    int rows = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool found = false;
        for (int x = area.left(); x <= area.right() && !found; ++x)
            found = image.pixelColor(x, y) == colour;
        rows += found;
    }
    return rows;
}

} // namespace

// The filter box and the grid show their text in navy on pale yellow, the box's in a larger font;
// the search column's title stands out in purple.
TEST(ScreenPixels, boxAndGridShowNavyTextOnPaleYellowAndTheSearchTitleInPurple) {
    withScreen([](TfrmPesquisa& form) {
        const QImage opened = form.widget()->grab().toImage();
        const QRect rows(22, 110, 530, 180);
        EXPECT_GT(rowsHolding(opened, rows, rgb(clNavy)), 0) << "grid text";
        EXPECT_EQ(opened.pixelColor(rows.right() - 2, rows.bottom() - 2), rgb(clInfoBk)) << "grid background";
        form.sbtW->click();
        const QImage image = form.widget()->grab().toImage();
        const QRect box(18, 18, 596, 37);
        EXPECT_EQ(image.pixelColor(box.left() + 2, box.center().y()), rgb(clInfoBk));
        EXPECT_GE(rowsHolding(image, box, rgb(clNavy)), 15) << "a capital of the box's -24 font";
        const QRect titles(22, 72, 530, 30);
        EXPECT_GT(rowsHolding(image, titles, rgb(clPurple)), 0) << "search column's title";
    });
}

namespace {

/// The pixels of `colour` inside `area` of `image`.
int pixelsOf(const QImage& image, const QRect& area, const QColor& colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

QRect rectOf(const TControl& control) {
    return {control.left(), control.top(), control.width(), control.height()};
}

} // namespace

// A key held down shows its face and caption in the layout's pressed colours, and Enter, disabled
// once no row is left, in its disabled colours; the layout sets all four on every key.
TEST(ScreenPixels, pressedKeysAndDisabledEnterShowTheirLayoutColours) {
    withScreen([](TfrmPesquisa& form) {
        const QColor black(0, 0, 0), white(255, 255, 255), greyBlue(0xCF, 0xE7, 0xE7),
            silver(0xC0, 0xC0, 0xC0);
        const struct {
            const char* name;
            TControl* key;
            QColor face, caption;
        } pressed[] = {{"letter", form.sbtA, black, white},
                       {"Shift", form.sbtShift, black, white},
                       {"Enter", form.sbtEnter, black, white}};
        for (const auto& p : pressed) {
            SCOPED_TRACE(p.name);
            const QRect area = rectOf(*p.key);
            QWidget* window = form.widget();
            QWidget* target = window->childAt(area.center()) ? window->childAt(area.center()) : window;
            const QPoint point = target->mapFrom(window, area.center());
            QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, point);
            const QImage image = window->grab().toImage();
            // Leaving the key before letting go takes the touch back without a click.
            QTest::mouseMove(target, target->mapFrom(window, QPoint(2, 2)));
            QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier,
                                target->mapFrom(window, QPoint(2, 2)));
            EXPECT_EQ(image.pixelColor(area.left() + 2, area.center().y()), p.face);
            // Inside the rounded corners, where only the face and the caption show.
            EXPECT_GT(pixelsOf(image, area.adjusted(6, 6, -6, -6), p.caption), 10) << "caption";
        }
        for (const char* letter : {"sbtZ", "sbtZ", "sbtZ", "sbtQ"})
            dynamic_cast<TBlendedButton*>(control(form, letter))->click();
        ASSERT_FALSE(form.sbtEnter->enabled()) << "a search that leaves no row";
        const QImage image = form.widget()->grab().toImage();
        const QRect enter = rectOf(*form.sbtEnter);
        EXPECT_EQ(image.pixelColor(enter.left() + 2, enter.center().y()), greyBlue);
        EXPECT_GT(pixelsOf(image, enter.adjusted(6, 6, -6, -6), silver), 10) << "disabled caption";
    });
}

namespace {

/// The Qt view that paints the grid.
QTableView& gridView(TfrmPesquisa& form) {
    return *qobject_cast<QTableView*>(form.dbgPesquisa->rowTouchPoint(0).widget->parentWidget());
}

} // namespace

// The grid's fonts and options as the layout sets them, each seen where it takes effect: in the
// fonts the view paints with, in what its title row lets the user do, and in the painted cells.
TEST(ScreenLayout, gridAndRowButtonFontsAndGridOptionsTakeEffect) {
    withScreen([](TfrmPesquisa& form) {
        QTableView& view = gridView(form);
        QHeaderView& titles = *view.horizontalHeader();
        const TFont cellFont{"Tahoma", -16, clNavy, true, 0};
        const TFont titleFont{"Tahoma", -19, clWindowText, true, 0};
        const TFont rowButtonFont{"Arial", -16, clWindowText, false, 0};
        EXPECT_EQ(form.dbgPesquisa->font(), cellFont);
        EXPECT_EQ(form.dbgPesquisa->titleFont(), titleFont);
        for (TdxfColorButton* button :
             {form.sbtPrimeiro, form.sbtRolarCima, form.sbtRolarBaixo, form.sbtUltimo})
            EXPECT_EQ(button->font(), rowButtonFont) << button->name();
        const struct {
            const char* effect;
            bool holds;
        } effects[] = {
            {"rows as high as the cell font needs",
             view.rowHeight(0) == QFontMetrics(qtFont(cellFont)).height() + 4},
            {"a title row as high as the title font needs",
             titles.height() == QFontMetrics(qtFont(titleFont)).height() + 4},
            {"columns resized by dragging", titles.sectionResizeMode(0) == QHeaderView::Interactive},
            {"columns moved by dragging", titles.sectionsMovable()},
            {"the current cell selected, not the row",
             view.selectionBehavior() == QAbstractItemView::SelectItems},
            {"Tab moves between cells", view.tabKeyNavigation()},
            {"no cell can be edited", view.editTriggers() == QAbstractItemView::NoEditTriggers},
        };
        for (const auto& e : effects)
            EXPECT_TRUE(e.holds) << e.effect;

        // Painted: lines between the rows but none between the columns, and the current cell's
        // highlight alone in its row, kept while the filter box has the focus.
        form.edtFiltro->setFocus();
        const QImage cells = view.viewport()->grab().toImage();
        const QColor line(192, 192, 192);
        const QRect current = view.visualRect(view.currentIndex());
        const QModelIndex at = view.currentIndex();
        const QRect neighbour = view.visualRect(at.siblingAtColumn(at.column() + 1));
        const QRect below = view.visualRect(at.siblingAtRow(at.row() + 1));
        EXPECT_GT(pixelsOf(cells, QRect(0, current.bottom(), cells.width(), 1), line), cells.width() / 2)
            << "row line";
        EXPECT_EQ(pixelsOf(cells, QRect(below.right(), below.top() + 1, 1, below.height() - 2), line), 0)
            << "column line";
        const QColor highlight = view.palette().color(QPalette::Active, QPalette::Highlight);
        EXPECT_GT(pixelsOf(cells, current.adjusted(1, 1, -1, -2), highlight), current.width())
            << "selection shown";
        EXPECT_EQ(pixelsOf(cells, neighbour.adjusted(1, 1, -1, -2), highlight), 0) << "only the current cell";
    });
}

// The search screen on a touch panel: shown smaller than designed it draws every plate and key at
// its scale and answers a touch with what lies under the finger; touches that come as a touch
// screen's Qt touch events act as the mouse's do, and a finger that slides off a key before it
// lifts presses nothing.

#include "SearchScreenFixture.h"

#include <qmr41726/framework/controls/TBlendedButton.h>
#include <qmr41726/framework/controls/TdxfColorButton.h>

#include <QTest>
#include <QWindow>

using namespace qmr;

namespace {

using Pointer = InputDriver::Pointer;

/// The scale of an 800 x 480 panel.
constexpr double kPanelScale = 0.86;

/// The middle of `control`'s design bounds at `scale`, in the form's client area.
QPoint scaledCentre(const TControl& control, double scale) {
    return QPoint(int((control.left() + control.width() / 2.0) * scale),
                  int((control.top() + control.height() / 2.0) * scale));
}

class PanelScreen : public SearchScreenTest {
protected:
    const TControl& control(const char* name) const {
        return dynamic_cast<TControl&>(*form->findComponent(name));
    }
};

TEST_F(PanelScreen, atPanelScaleEveryButtonLiesAndAnswersWhereItsDesignPutsIt) {
    open(DataKind::client);
    form->setScale(kPanelScale);
    EXPECT_EQ(form->widget()->size(), QSize(550, 475));
    const QImage image = form->widget()->grab().toImage();
    int buttons = 0;
    for (int i = 0; i < form->componentCount(); ++i) {
        auto* button = dynamic_cast<TControl*>(form->component(i));
        const bool key = dynamic_cast<TBlendedButton*>(button);
        if (!key && !dynamic_cast<TdxfColorButton*>(button))
            continue;
        ++buttons;
        const QPoint centre = scaledCentre(*button, kPanelScale);
        EXPECT_EQ(TControl::fromWidget(form->widget()->childAt(centre)), button) << button->name();
        // Keys show their face at the scale, clear of the caption and the rounded corners.
        const QPoint face(int((button->left() + 4) * kPanelScale), centre.y());
        if (key) {
            EXPECT_EQ(image.pixelColor(face), QColor(0xD8, 0xFA, 0xC0)) << button->name();
        }
    }
    EXPECT_EQ(buttons, 53);

    // Touches through the window at the scaled places: two letters, then Clear on the bottom row.
    ScreenInput input(*form);
    input.touchAt(scaledCentre(control("sbtJ"), kPanelScale));
    input.touchAt(scaledCentre(control("sbtO"), kPanelScale));
    EXPECT_EQ(searchText(), "Jo");
    input.touchAt(scaledCentre(control("sbtLimpar"), kPanelScale));
    EXPECT_EQ(searchText(), "");
    EXPECT_TRUE(errors.empty());
}

TEST_F(PanelScreen, inAWindowTheCompositorMadeLargerTheFormStaysCentredAndAnswersTouches) {
    open(DataKind::client);
    QWidget* window = form->widget();
    const QImage designed = window->grab().toImage();
    // A kiosk's compositor gives the window its whole 1280 x 720 output.
    const QRect formArea(QPoint(320, 84), designed.size());
    const TControl& j = control("sbtJ");
    const QRect key(j.left(), j.top(), j.width(), j.height());
    window->resize(1280, 720);
    QCoreApplication::processEvents();
    ASSERT_EQ(window->size(), QSize(1280, 720));
    EXPECT_EQ(QRect(j.widget()->mapToGlobal(QPoint()), j.widget()->size()),
              key.translated(window->mapToGlobal(formArea.topLeft())));
    EXPECT_EQ(QRect(j.left(), j.top(), j.width(), j.height()), key);
    const QImage large = window->grab().toImage();
    EXPECT_EQ(large.copy(formArea), designed);
    for (const QPoint corner : {QPoint(0, 0), QPoint(1279, 719), QPoint(319, 300), QPoint(960, 300)})
        EXPECT_EQ(large.pixelColor(corner), QColor(Qt::black)) << corner.x() << "," << corner.y();

    ScreenInput input(*form);
    input.touchAt(key.center() + formArea.topLeft());
    input.touchAt(QPoint(100, 100)); // the black around the form: nothing there
    EXPECT_EQ(searchText(), "J");
    const QImage typed = window->grab(formArea).toImage();

    window->resize(formArea.size());
    QCoreApplication::processEvents();
    EXPECT_EQ(j.widget()->geometry(), key);
    EXPECT_EQ(window->grab().toImage(), typed);
    EXPECT_TRUE(errors.empty());
}

/// What a user sees change after touches: the search text, the search column and the current row.
struct Outcome {
    AnsiString text;
    AnsiString column;
    int recNo = 0;
    bool operator==(const Outcome&) const = default;
};

class TouchScreenTouches : public SearchScreenTest, public ::testing::WithParamInterface<const char*> {
protected:
    Outcome outcomeOf(Pointer pointer) {
        open(DataKind::client);
        // A finger's first tap where the mouse last pressed, within the double-click time, would be
        // the second half of a double click; a press on the form's rim first keeps them apart.
        QTest::mouseClick(form->widget()->windowHandle(), Qt::LeftButton, {}, QPoint(2, 2));
        ScreenInput(*form, pointer).run(GetParam());
        return {searchText(), form->stColunaPesq, data->recNo()};
    }
};

TEST_P(TouchScreenTouches, actAsTheMouseTouches) {
    const Outcome byMouse = outcomeOf(Pointer::Mouse);
    form.reset();
    open(DataKind::client);
    const Outcome before{searchText(), form->stColunaPesq, data->recNo()};
    form.reset();
    const Outcome byFinger = outcomeOf(Pointer::TouchScreen);
    EXPECT_EQ(byFinger, byMouse);
    EXPECT_FALSE(byFinger == before) << "the touches changed nothing";
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Touches, TouchScreenTouches,
                         ::testing::Values("touch:sbtJ touch:sbtO touch:sbtBackSpace", "title:2", "row:2",
                                           "touch:sbtRolarBaixo touch:sbtRolarBaixo", "touch:sbtUltimo"));

class SlidingOff : public SearchScreenTest, public ::testing::WithParamInterface<Pointer> {};

TEST_P(SlidingOff, aTouchThatLeavesTheKeyBeforeLiftingPressesNothing) {
    open(DataKind::client);
    ScreenInput input(*form, GetParam());
    QWidget* j = form->sbtJ->widget();
    QWidget* k = form->sbtK->widget();
    input.driver().pressAt(j, j->rect().center());
    EXPECT_TRUE(form->sbtJ->down());
    input.driver().moveTo(k, k->rect().center());
    EXPECT_FALSE(form->sbtJ->down());
    input.driver().releaseAt(k, k->rect().center());
    EXPECT_EQ(searchText(), "");
    EXPECT_FALSE(form->sbtK->down());
}

INSTANTIATE_TEST_SUITE_P(Pointers, SlidingOff, ::testing::Values(Pointer::Mouse, Pointer::TouchScreen),
                         [](const auto& info) {
                             return info.param == Pointer::Mouse ? "mouse" : "touchScreen";
                         });

} // namespace

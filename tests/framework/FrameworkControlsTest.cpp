// The framework's touch controls on a shown form, driven by real mouse events: keys click once
// when enabled and never when disabled, no touch moves the keyboard focus, and the faces show
// the colours the layout gives them.
#include "InputDriver.h"

#include <qmr41726/framework/controls/TBlendedBitBtn.h>
#include <qmr41726/framework/controls/TBlendedButton.h>
#include <qmr41726/framework/controls/TBlendedShape.h>
#include <qmr41726/framework/controls/TdxfColorButton.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/controls/TEdit.h>
#include <qmr41726/ui/forms/Layout.h>
#include <qmr41726/ui/forms/TClassRegistry.h>
#include <qmr41726/ui/forms/TForm.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <memory>

using namespace qmr;

namespace {

/// A shown form with an edit box that holds the focus, and helpers to touch its controls.
class FrameworkControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Application)
            m_application = std::make_unique<TApplication>();
        form = std::make_unique<TForm>();
        form->setClientSize(300, 200);
        edit = add<TEdit>(10, 10, 120, 24);
    }

    /// A new control of class T on the form at the given place.
    template <class T> T* add(int left, int top, int width, int height) {
        T* control = form->adopt(std::make_unique<T>());
        control->setParent(form.get());
        control->setBounds(left, top, width, height);
        return control;
    }

    void show() {
        form->widget()->show();
        form->widget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form->widget()));
        edit->setFocus();
    }

    /// A press (and, unless `release` is false, a release) in the middle of `control`, through
    /// the window as a finger would land.
    void touch(TControl& control, bool release = true) {
        QWidget* widget = control.widget();
        InputDriver input(*form);
        if (release)
            input.touchAt(widget, widget->rect().center());
        else
            input.pressAt(widget, widget->rect().center());
    }

    /// The colour the form shows at `point` of `control`.
    QColor shownColor(TControl& control, QPoint point) {
        const QImage image = form->widget()->grab().toImage();
        return image.pixelColor(control.widget()->mapTo(form->widget(), point));
    }

    std::unique_ptr<TApplication> m_application;
    std::unique_ptr<TForm> form;
    TEdit* edit = nullptr;
};

TEST_F(FrameworkControlsTest, enabledKeyClicksOnceAndDisabledKeyIgnoresTheTouch) {
    struct Case {
        bool enabled;
        int clicks;
    };
    for (const Case c : {Case{true, 1}, Case{false, 0}}) {
        auto* key = add<TBlendedButton>(10, 50, 51, 44);
        int clicks = 0;
        key->onClick = [&](TObject* sender) {
            EXPECT_EQ(sender, key);
            ++clicks;
        };
        key->setEnabled(c.enabled);
        show();
        touch(*key);
        EXPECT_EQ(clicks, c.clicks) << "enabled " << c.enabled;
        form->disown(key).reset();
    }
}

TEST_F(FrameworkControlsTest, errorOfATouchedHandlerReachesTheApplicationAndDisabledButtonsIgnoreTouches) {
    std::vector<std::string> errors;
    Application->setExceptionHandler([&](const std::exception& error) { errors.push_back(error.what()); });
    auto* key = add<TBlendedButton>(10, 50, 51, 44);
    auto* colourButton = add<TdxfColorButton>(130, 50, 42, 42);
    key->onClick = [](TObject*) { throw Exception("key failed"); };
    colourButton->onClick = [](TObject*) { throw Exception("button failed"); };
    show();
    touch(*key);
    touch(*colourButton);
    EXPECT_EQ(errors, (std::vector<std::string>{"key failed", "button failed"}));
    EXPECT_FALSE(key->down());
    key->setEnabled(false);
    colourButton->setEnabled(false);
    touch(*key);
    touch(*colourButton);
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_TRUE(form->widget()->isVisible());
    Application->setExceptionHandler(nullptr);
}

TEST_F(FrameworkControlsTest, touchReleasedOutsideTheKeyDoesNotClick) {
    auto* key = add<TBlendedButton>(10, 50, 51, 44);
    int clicks = 0;
    key->onClick = [&](TObject*) { ++clicks; };
    show();
    touch(*key, false);
    EXPECT_TRUE(key->down());
    QWindow* window = form->widget()->windowHandle();
    QTest::mouseMove(window, QPoint(250, 180));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, QPoint(250, 180));
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(key->down());
}

TEST_F(FrameworkControlsTest, tapClicksOnceAndSlidingOffBeforeLiftingClicksNothingForMouseAndFinger) {
    using Pointer = InputDriver::Pointer;
    for (const Pointer pointer : {Pointer::Mouse, Pointer::TouchScreen}) {
        auto* key = add<TBlendedButton>(10, 50, 51, 44);
        auto* colourButton = add<TdxfColorButton>(130, 50, 42, 42);
        show();
        for (TControl* control : std::initializer_list<TControl*>{key, colourButton}) {
            int clicks = 0;
            control->onClick = [&](TObject*) { ++clicks; };
            InputDriver input(*form);
            input.setPointer(pointer);
            QWidget* widget = control->widget();
            input.touchAt(widget, widget->rect().center());
            input.pressAt(widget, widget->rect().center());
            input.moveTo(form->widget(), QPoint(250, 180));
            input.releaseAt(form->widget(), QPoint(250, 180));
            const char* what = pointer == Pointer::Mouse ? "mouse on " : "finger on ";
            EXPECT_EQ(clicks, 1) << what << widget->metaObject()->className();
            EXPECT_TRUE(edit->focused()) << what << widget->metaObject()->className();
        }
        EXPECT_FALSE(key->down());
        form->disown(key).reset();
        form->disown(colourButton).reset();
    }
}

TEST_F(FrameworkControlsTest, touchingKeysAndColourButtonsLeavesTheFocusWhereItWas) {
    auto* key = add<TBlendedButton>(10, 50, 51, 44);
    auto* bitmapKey = add<TBlendedBitBtn>(70, 50, 51, 44);
    auto* colourButton = add<TdxfColorButton>(130, 50, 42, 42);
    auto* shape = add<TBlendedShape>(180, 50, 50, 50);
    int clicks = 0;
    for (TControl* control : std::initializer_list<TControl*>{key, bitmapKey, colourButton})
        control->onClick = [&](TObject*) { ++clicks; };
    show();
    for (TControl* control : std::initializer_list<TControl*>{key, bitmapKey, colourButton, shape}) {
        touch(*control);
        EXPECT_TRUE(edit->focused()) << "after touching " << control->widget()->metaObject()->className();
    }
    EXPECT_EQ(clicks, 3);
}

TEST_F(FrameworkControlsTest, keyFaceShowsNormalPressedAndDisabledColours) {
    auto* key = add<TBlendedButton>(10, 50, 60, 44);
    key->setBrushColor(0xC0FAD8);
    key->setDownColor(clBlack);
    key->setDisabledColor(0xE7E7CF);
    key->setDisabledFontColor(clSilver);
    key->setCaption("W");
    show();
    const QPoint face(5, 22); // left of the caption, clear of the corners
    EXPECT_EQ(shownColor(*key, face), QColor(0xD8, 0xFA, 0xC0));

    touch(*key, false);
    EXPECT_EQ(shownColor(*key, face), QColor(Qt::black));
    QTest::mouseRelease(form->widget()->windowHandle(), Qt::LeftButton);

    key->setEnabled(false);
    EXPECT_EQ(shownColor(*key, face), QColor(0xCF, 0xE7, 0xE7));
    // The caption is drawn in the disabled font colour: some pixel of the face has it.
    const QImage image = form->widget()->grab().toImage();
    const QRect area(key->widget()->mapTo(form->widget(), QPoint(0, 0)), key->widget()->size());
    bool silverCaption = false;
    for (int y = area.top(); y <= area.bottom() && !silverCaption; ++y) {
        for (int x = area.left(); x <= area.right() && !silverCaption; ++x)
            silverCaption = image.pixelColor(x, y) == QColor(0xC0, 0xC0, 0xC0);
    }
    EXPECT_TRUE(silverCaption);
}

TEST_F(FrameworkControlsTest, roundedShapeFillsItsMiddleAndLeavesItsCornersToWhatLiesBelow) {
    form->setColor(clWhite);
    auto* plate = add<TBlendedShape>(20, 20, 100, 80);
    plate->setShape(TBlendedShape::Shape::stRoundRect);
    plate->setPenStyle(TBlendedShape::PenStyle::psClear);
    plate->setBrushColor(clBlack);
    auto* inner = add<TBlendedShape>(40, 40, 40, 30);
    inner->setPenStyle(TBlendedShape::PenStyle::psClear);
    show();
    EXPECT_EQ(shownColor(*plate, QPoint(10, 40)), QColor(Qt::black));
    EXPECT_EQ(shownColor(*plate, QPoint(0, 0)), QColor(Qt::white)) << "corner is rounded off";
    EXPECT_EQ(shownColor(*inner, QPoint(20, 15)), QColor(Qt::white)) << "default brush colour";
}

TEST_F(FrameworkControlsTest, glyphBackgroundIsNotDrawnOverTheFace) {
    QTemporaryDir dir;
    QImage glyph(10, 10, QImage::Format_RGB32);
    glyph.fill(QColor(0x80, 0x80, 0x00)); // olive background, also the bottom-left pixel
    glyph.setPixelColor(5, 5, QColor(0x30, 0x00, 0x60));
    const QString path = dir.filePath("glyph.bmp");
    ASSERT_TRUE(glyph.save(path));

    auto* key = add<TBlendedBitBtn>(10, 50, 50, 50);
    key->setShape(TBlendedShape::Shape::stRectangle);
    key->setPenStyle(TBlendedShape::PenStyle::psClear);
    key->setBrushColor(0xC0FAD8);
    const std::string utf8 = path.toStdString();
    TEventBinder events("sbtSair", {});
    ASSERT_TRUE(key->setProperty("Glyph", TResourceImage{utf8}, events));
    show();
    EXPECT_EQ(shownColor(*key, QPoint(21, 21)), QColor(0xD8, 0xFA, 0xC0)) << "background left out";
    EXPECT_EQ(shownColor(*key, QPoint(25, 25)), QColor(0x30, 0x00, 0x60)) << "glyph centred";
}

} // namespace

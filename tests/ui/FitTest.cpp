// Forms fitted to the screen: the fit a host asks for, the scale a shown form takes from it, and a
// scaled form's controls and fonts at that scale while their design bounds stay as laid out.
#include "TestForm.h"

#include <qmr41726/ui/forms/Messages.h>

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

using namespace qmr;

namespace {

TEST(FitTest, readsAutoOffOrAFactorAndNamesWhatItCannotRead) {
    EXPECT_EQ(TFit::fromText("auto").mode(), TFit::Mode::Automatic);
    EXPECT_EQ(TFit::fromText("off").mode(), TFit::Mode::Off);
    EXPECT_EQ(TFit::fromText("0.85").mode(), TFit::Mode::Fixed);
    EXPECT_DOUBLE_EQ(TFit::fromText("0.85").factor(), 0.85);
    for (const char* bad : {"", "0.1", "5", "1,5", "0.9x", "nan", "Auto"}) {
        try {
            TFit::fromText(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(),
                      "'" + std::string(bad) + "' is no fit: give auto, off or a factor from 0.25 to 4");
        }
    }
}

TEST(FitTest, automaticFitScalesDownByTheLargestHundredthsThatFitAndNeverUp) {
    const QSize form(640, 552);
    EXPECT_DOUBLE_EQ(TFit().scaleFor(form, {1024, 600}), 1.0);
    EXPECT_DOUBLE_EQ(TFit().scaleFor(form, {800, 480}), 0.86);
    EXPECT_DOUBLE_EQ(TFit().scaleFor(form, {600, 1024}), 0.93);
    EXPECT_DOUBLE_EQ(TFit().scaleFor(form, {80, 60}), TFit::kSmallestFactor);
    EXPECT_DOUBLE_EQ(TFit::off().scaleFor(form, {800, 480}), 1.0);
    EXPECT_DOUBLE_EQ(TFit::fixed(1.5).scaleFor(form, {800, 480}), 1.5);
}

class ShownFit : public ::testing::Test {
protected:
    /// Shows `form` modally under `fit` and returns the scale and window it had while shown.
    std::pair<double, QRect> shownUnder(const TFit& fit, TestForm& form) {
        app.application.setFit(fit);
        std::pair<double, QRect> seen;
        app.application.onModalShown = [&](TForm& shown) {
            seen = {shown.scale(), shown.widget()->geometry()};
            PostMessageA(shown.handle(), WM_CLOSE, 0, 0);
        };
        form.showModal();
        return seen;
    }

    RecordingApplication app;
};

TEST_F(ShownFit, formTakesTheScaleOfTheApplicationsFitOnTheScreenItIsShownOn) {
    struct Case {
        const char* name;
        TFit fit;
        QSize design;
        double scale;
    };
    // The offscreen platform's screen is 800 x 800.
    const Case cases[] = {
        {"fits: as designed", TFit(), {300, 200}, 1.0},
        {"too large: scaled down inside the screen", TFit(), {1000, 1600}, 0.5},
        {"too large, fit off", TFit::off(), {1000, 1600}, 1.0},
        {"fixed factor", TFit::fixed(1.5), {300, 200}, 1.5},
    };
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (const Case& c : cases) {
        TestForm form;
        form.setClientSize(c.design.width(), c.design.height());
        const auto [scale, window] = shownUnder(c.fit, form);
        EXPECT_DOUBLE_EQ(scale, c.scale) << c.name;
        EXPECT_EQ(window.size(), c.design * c.scale) << c.name;
        EXPECT_EQ(window.center(), screen.center()) << c.name;
        EXPECT_EQ(QSize(form.clientWidth(), form.clientHeight()), c.design) << c.name;
    }
}

TEST_F(ShownFit, scaledFormPlacesItsControlsAndFontsAtItsScaleAndBackAsDesigned) {
    TestForm form;
    TEdit& edit = form.edtFiltro();
    form.widget()->show();
    const QImage designed = form.widget()->grab().toImage();
    form.setScale(0.75);
    // 10, 100, 200 x 30: edges at 7.5, 75, 157.5 and 97.5, rounded.
    EXPECT_EQ(edit.widget()->geometry(), QRect(8, 75, 150, 23));
    EXPECT_EQ(QRect(edit.left(), edit.top(), edit.width(), edit.height()), QRect(10, 100, 200, 30));
    EXPECT_EQ(edit.widget()->font().pixelSize(), 18);
    EXPECT_EQ(form.widget()->size(), QSize(225, 150));
    EXPECT_THROW(form.setScale(0), EConvertError);
    EXPECT_EQ(form.scale(), 0.75);
    form.setScale(1.0);
    EXPECT_EQ(edit.widget()->font().pixelSize(), 24);
    EXPECT_EQ(form.widget()->grab().toImage(), designed);
}

} // namespace

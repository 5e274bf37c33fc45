// Controls: clicks, the enabled state, windowless controls and text at the Qt edge.
#include "TestForm.h"

#include <qmr41726/ui/controls/TPanel.h>
#include <qmr41726/ui/controls/TTimer.h>

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace qmr;

namespace {

/// A windowless control for the tests: a bare widget painted by nobody.
class TestGraphic : public TGraphicControl {
public:
    TestGraphic() : TGraphicControl(std::make_unique<QWidget>()) {}
};

// Clicking from code is not a touch: a disabled control runs its handler all the same, and the
// handler's error leaves click() for whoever called it, not for the application's handler.
TEST(ControlTest, clickFromCodeRunsTheHandlerEvenWhenDisabledAndLetsItsErrorPass) {
    RecordingApplication app;
    TPanel panel;
    int clicks = 0;
    panel.onClick = [&](TObject* sender) {
        EXPECT_EQ(sender, &panel);
        if (++clicks == 2)
            throw Exception("click failed");
    };
    panel.setEnabled(false);
    panel.click();
    EXPECT_EQ(clicks, 1);
    EXPECT_THROW(panel.click(), Exception);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(app.errors.empty());
}

TEST(ControlTest, windowlessControlsNeverTakeTheFocusAndStackInCreationOrder) {
    TestForm form;
    auto* first = form.adopt(std::make_unique<TestGraphic>());
    auto* second = form.adopt(std::make_unique<TestGraphic>());
    first->setParent(&form);
    second->setParent(&form);
    EXPECT_EQ(first->widget()->focusPolicy(), Qt::NoFocus);
    const std::vector<TControl*> controls = form.controls();
    ASSERT_GE(controls.size(), 2u);
    EXPECT_EQ(controls[controls.size() - 2], first);
    EXPECT_EQ(controls.back(), second);
    EXPECT_EQ(TControl::fromWidget(second->widget()), second);
}

TEST(ControlTest, editTextCrossesTheQtEdgeInWindows1252) {
    TEdit edit;
    edit.setText("Vers\xE3o");
    EXPECT_EQ(static_cast<QLineEdit*>(edit.widget())->text(), QStringLiteral("Versão"));
    for (const QString& typed : {QStringLiteral("ç"), QStringLiteral("ł")}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
        QCoreApplication::sendEvent(edit.widget(), &press);
    }
    EXPECT_EQ(edit.text(), "Vers\xE3o\xE7"); // ł has no byte in the code page
    EXPECT_EQ(static_cast<QLineEdit*>(edit.widget())->text(), QStringLiteral("Versãoç"));
}

/// A windowless control that notes, when it is freed, whether its widget was still there.
class WidgetWatcher : public TGraphicControl {
public:
    explicit WidgetWatcher(std::vector<bool>& widgetAliveAtFree)
        : TGraphicControl(std::make_unique<QWidget>()), m_log(widgetAliveAtFree) {}
    ~WidgetWatcher() override { m_log.push_back(widget() != nullptr); }

private:
    std::vector<bool>& m_log;
};

// A control's destructor may still use its widget: the form frees its controls first, and only
// then does Qt free what is left of the widget tree.
TEST(ControlTest, freeingTheFormFreesItsControlsBeforeTheirWidgets) {
    std::vector<bool> widgetAliveAtFree;
    QPointer<QWidget> widget;
    {
        TestForm form;
        auto* watcher = form.adopt(std::make_unique<WidgetWatcher>(widgetAliveAtFree));
        watcher->setParent(&form);
        widget = watcher->widget();
    }
    EXPECT_EQ(widgetAliveAtFree, std::vector<bool>{true});
    EXPECT_TRUE(widget.isNull()) << "the control freed its widget";
}

TEST(ControlTest, timerWithoutHandlerNeverRuns) {
    TTimer timer;
    timer.setInterval(10);
    EXPECT_FALSE(timer.running());
    timer.onTimer = [](TObject*) {};
    timer.setEnabled(true);
    EXPECT_TRUE(timer.running());
    timer.setEnabled(false);
    EXPECT_FALSE(timer.running());
}

} // namespace

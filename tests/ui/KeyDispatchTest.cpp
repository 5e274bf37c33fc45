// Physical keys on a form: preview order, keys stopped by a 0 code, characters in Windows-1252,
// and no Qt default acting on Esc, Enter or Alt+F4.
#include "TestForm.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

using namespace qmr;

namespace {

class KeyDispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.widget()->show();
        form.focusFirstControl();
        form.log.clear();
    }
    QLineEdit& inner() { return static_cast<QLineEdit&>(*form.edtInner().widget()); }
    bool logged(const std::string& line) const {
        return std::find(form.log.begin(), form.log.end(), line) != form.log.end();
    }

    RecordingApplication app;
    TestForm form;
};

TEST_F(KeyDispatchTest, formSeesKeyAndCharacterBeforeTheFocusedControl) {
    QTest::keyClick(&inner(), Qt::Key_A);
    const std::vector<std::string> expected{"form down 65", "edtInner down 65", "form press 97",
                                            "edtInner press 97"};
    EXPECT_EQ(form.log, expected);
    EXPECT_EQ(form.edtInner().text(), "a");
}

TEST_F(KeyDispatchTest, keySetToZeroReachesNeitherControlNorDefaultHandling) {
    form.edtInner().setText("abc def");
    inner().setCursorPosition(0);
    QTest::keyClick(&inner(), Qt::Key_Delete, Qt::ControlModifier); // would delete a word
    QTest::keyClick(&inner(), Qt::Key_F4, Qt::AltModifier);
    EXPECT_TRUE(logged("form down 46 ctrl"));
    EXPECT_TRUE(logged("form down 115 alt"));
    EXPECT_FALSE(logged("edtInner down 46 ctrl"));
    EXPECT_FALSE(logged("edtInner down 115 alt"));
    EXPECT_EQ(form.edtInner().text(), "abc def");
    EXPECT_TRUE(form.widget()->isVisible());

    QTest::keyClick(&inner(), Qt::Key_Delete); // plain Delete goes on to the box
    EXPECT_TRUE(logged("edtInner down 46"));
    EXPECT_EQ(form.edtInner().text(), "bc def");
}

TEST_F(KeyDispatchTest, characterRefusedOrChangedByTheFormReachesTheBoxAsChanged) {
    QTest::keyClick(&inner(), Qt::Key_X);
    QTest::keyClick(&inner(), Qt::Key_Q);
    EXPECT_FALSE(logged("edtInner press 120"));
    EXPECT_TRUE(logged("edtInner press 81"));
    EXPECT_EQ(form.edtInner().text(), "Q");
}

TEST_F(KeyDispatchTest, keysArriveWithWindowsVirtualKeyCodes) {
    struct Row {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::string expected;
    };
    const Row rows[] = {
        {Qt::Key_Backspace, Qt::NoModifier, "form down 8"},
        {Qt::Key_Return, Qt::NoModifier, "form down 13"},
        {Qt::Key_Enter, Qt::KeypadModifier, "form down 13"},
        {Qt::Key_Escape, Qt::NoModifier, "form down 27"},
        {Qt::Key_CapsLock, Qt::NoModifier, "form down 20"},
        {Qt::Key_Shift, Qt::ShiftModifier, "form down 16 shift"},
        {Qt::Key_Delete, Qt::NoModifier, "form down 46"},
        {Qt::Key_F4, Qt::NoModifier, "form down 115"},
        {Qt::Key_Exclam, Qt::ShiftModifier, "form down 49 shift"},
        {Qt::Key_Comma, Qt::NoModifier, "form down 188"},
        {Qt::Key_5, Qt::KeypadModifier, "form down 101"},
        {Qt::Key_Down, Qt::NoModifier, "form down 40"},
    };
    for (const Row& row : rows) {
        form.log.clear();
        QKeyEvent press(QEvent::KeyPress, row.key, row.modifiers);
        QCoreApplication::sendEvent(&inner(), &press);
        ASSERT_FALSE(form.log.empty()) << row.expected;
        EXPECT_EQ(form.log.front(), row.expected);
    }
}

TEST_F(KeyDispatchTest, charactersArriveAsWindows1252BytesAndControlKeysAsCharacters) {
    struct Row {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        int expected; // -1: no character
    };
    const Row rows[] = {
        {Qt::Key_Ccedilla, Qt::NoModifier, QStringLiteral("ç"), 0xE7},
        {Qt::Key_Ccedilla, Qt::ShiftModifier, QStringLiteral("Ç"), 0xC7},
        {Qt::Key_unknown, Qt::NoModifier, QStringLiteral("€"), 0x80},
        {Qt::Key_unknown, Qt::NoModifier, QStringLiteral("ł"), -1}, // no byte in the code page
        {Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"), 8},
        {Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), 13},
        {Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"), 27},
        {Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"), -1},
        {Qt::Key_A, Qt::AltModifier, QStringLiteral("a"), -1},
        {Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"), -1},
    };
    for (const Row& row : rows) {
        form.log.clear();
        QKeyEvent press(QEvent::KeyPress, row.key, row.modifiers, row.text);
        QCoreApplication::sendEvent(&inner(), &press);
        const bool typed = std::any_of(form.log.begin(), form.log.end(),
                                       [](const std::string& l) { return l.starts_with("form press"); });
        if (row.expected < 0) {
            EXPECT_FALSE(typed) << row.text.toStdString();
            continue;
        }
        EXPECT_TRUE(logged("form press " + std::to_string(row.expected))) << row.text.toStdString();
    }
}

TEST_F(KeyDispatchTest, readOnlyBoxTakesNoTypingButTheHandlersStillSeeTheKeys) {
    form.edtFiltro().setFocus();
    QTest::keyClicks(form.edtFiltro().widget(), "ab");
    QTest::keyClick(form.edtFiltro().widget(), Qt::Key_Backspace);
    EXPECT_EQ(form.edtFiltro().text(), "");
    EXPECT_TRUE(logged("edtFiltro press 98"));
    EXPECT_TRUE(logged("edtFiltro down 8"));
}

TEST_F(KeyDispatchTest, failingKeyHandlerReachesErrorHandlerAndStopsThatKeyOnly) {
    QTest::keyClick(&inner(), Qt::Key_F2);
    ASSERT_EQ(app.errors.size(), 1u);
    EXPECT_EQ(app.errors.front(), "key handler failed");
    EXPECT_FALSE(logged("edtInner down 113"));

    QTest::keyClick(&inner(), Qt::Key_B);
    EXPECT_EQ(form.edtInner().text(), "b");
}

TEST_F(KeyDispatchTest, keysOfWidgetsOutsideFormsAreLeftAlone) {
    QLineEdit outside;
    QTest::keyClick(&outside, Qt::Key_A);
    EXPECT_EQ(outside.text(), "a");
    EXPECT_TRUE(form.log.empty());
}

} // namespace

// The numeric keypad on a form: its operator keys arrive with codes of their own, and with Num Lock
// off its arrows and Enter arrive as the main block's, never as an unknown key 0.
#include "TestForm.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace qmr;

TEST(KeypadKeys, operatorsHaveTheirOwnCodesAndNavigationKeysTheMainOnes) {
    RecordingApplication app;
    TestForm form;
    form.widget()->show();
    form.focusFirstControl();
    QLineEdit& inner = static_cast<QLineEdit&>(*form.edtInner().widget());
    const struct {
        Qt::Key key;
        const char* expected;
    } rows[] = {
        {Qt::Key_Asterisk, "form down 106"}, {Qt::Key_Plus, "form down 107"},
        {Qt::Key_Minus, "form down 109"},    {Qt::Key_Period, "form down 110"},
        {Qt::Key_Comma, "form down 110"}, // the decimal key of a Brazilian keypad
        {Qt::Key_Slash, "form down 111"},    {Qt::Key_Left, "form down 37"},
        {Qt::Key_Home, "form down 36"},      {Qt::Key_Enter, "form down 13"},
    };
    for (const auto& row : rows) {
        form.log.clear();
        QKeyEvent press(QEvent::KeyPress, row.key, Qt::KeypadModifier);
        QCoreApplication::sendEvent(&inner, &press);
        ASSERT_FALSE(form.log.empty()) << row.expected;
        EXPECT_EQ(form.log.front(), row.expected);
    }
}

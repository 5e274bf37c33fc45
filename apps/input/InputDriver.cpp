#include "InputDriver.h"

#include "host/ui/TDBGrid.h"
#include "host/ui/TForm.h"

#include <QApplication>
#include <QPixmap>
#include <QTest>
#include <QWindow>

#include <array>

using namespace qmr;

namespace {

/// How a physical key arrives from a keyboard: its Qt key and the text the window system gives it.
struct PhysicalKey {
    Qt::Key key;
    const char* text;
};

// In the order of KeyName. The texts are those an X11 keyboard delivers with these keys.
const std::array<PhysicalKey, 16> kPhysicalKeys{{
    {Qt::Key_Return, "\r"},
    {Qt::Key_Escape, "\x1b"},
    {Qt::Key_Delete, "\x7f"},
    {Qt::Key_Backspace, "\b"},
    {Qt::Key_Tab, "\t"},
    {Qt::Key_Shift, ""},
    {Qt::Key_CapsLock, ""},
    {Qt::Key_F4, ""},
    {Qt::Key_Up, ""},
    {Qt::Key_Down, ""},
    {Qt::Key_Left, ""},
    {Qt::Key_Right, ""},
    {Qt::Key_Home, ""},
    {Qt::Key_End, ""},
    {Qt::Key_PageUp, ""},
    {Qt::Key_PageDown, ""},
}};

Qt::KeyboardModifiers qtModifiers(unsigned modifiers) {
    Qt::KeyboardModifiers result;
    result.setFlag(Qt::ShiftModifier, modifiers & ModShift);
    result.setFlag(Qt::AltModifier, modifiers & ModAlt);
    result.setFlag(Qt::ControlModifier, modifiers & ModCtrl);
    return result;
}

/// The Qt key a keyboard reports for a typed character: the capital's code for letters (Qt's key
/// codes for Latin-1 are the upper-case code points), Key_unknown beyond the basic plane.
int qtKeyOfCharacter(char32_t c) {
    if (c > 0xFFFF)
        return Qt::Key_unknown;
    return QChar(char16_t(c)).toUpper().unicode();
}

QString describe(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

QString InputDriver::touchProblem(const std::string& name) const {
    TComponent* component = m_form.findComponent(name);
    if (!component)
        return QStringLiteral("the screen has no component named \"%1\"").arg(describe(name));
    const auto* control = dynamic_cast<TControl*>(component);
    if (!control || !control->widget())
        return QStringLiteral("\"%1\" is not a control that can be touched").arg(describe(name));
    return {};
}

int InputDriver::gridColumnCount() const {
    const auto* grid = dynamic_cast<TDBGrid*>(m_form.findComponent("dbgPesquisa"));
    return grid ? grid->columnCount() : 0;
}

void InputDriver::touchComponent(const std::string& name) {
    if (const QString problem = touchProblem(name); !problem.isEmpty())
        throw StepError(problem.toStdString());
    QWidget* widget = dynamic_cast<TControl*>(m_form.findComponent(name))->widget();
    if (!widget->isVisible())
        throw StepError("\"" + name + "\" is not visible");
    touchAt(widget, widget->rect().center(), describe(name));
}

void InputDriver::touchTitle(int column) {
    const auto* grid = dynamic_cast<TDBGrid*>(m_form.findComponent("dbgPesquisa"));
    if (!grid || column >= grid->columnCount())
        throw StepError("the grid has no column " + std::to_string(column));
    const TTouchPoint point = grid->titleTouchPoint(column);
    if (!point.widget)
        throw StepError("the title of column " + std::to_string(column) + " is not shown");
    touchAt(point.widget, point.position, QStringLiteral("title %1").arg(column));
}

void InputDriver::touchRow(int row) {
    const auto* grid = dynamic_cast<TDBGrid*>(m_form.findComponent("dbgPesquisa"));
    if (!grid)
        throw StepError("the screen has no grid");
    const TTouchPoint point = grid->rowTouchPoint(row);
    if (!point.widget)
        throw StepError("the grid shows no row " + std::to_string(row));
    touchAt(point.widget, point.position, QStringLiteral("row %1").arg(row));
}

void InputDriver::touchAt(QWidget* widget, QPoint position, const QString& what) {
    QWindow* window = widget->window()->windowHandle();
    if (!window || !window->isVisible())
        throw StepError(what.toStdString() + ": the screen's window is not shown");
    // Through the window, as a real touch: the event goes to whatever widget is on top there.
    const QPoint inWindow = window->mapFromGlobal(widget->mapToGlobal(position));
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, inWindow);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, inWindow);
}

void InputDriver::pressKey(KeyName key, unsigned modifiers) {
    PhysicalKey physical = kPhysicalKeys[std::size_t(key)];
    if (key == KeyName::Tab && (modifiers & ModShift))
        physical = {Qt::Key_Backtab, "\t"};
    sendKey(physical.key, QString::fromLatin1(physical.text), modifiers);
}

void InputDriver::typeText(const std::u32string& characters) {
    for (char32_t c : characters)
        sendKey(qtKeyOfCharacter(c), QString::fromUcs4(&c, 1), 0);
}

void InputDriver::sendKey(int qtKey, const QString& text, unsigned modifiers) {
    QWidget* target = keyTarget();
    const QPointer<QWidget> guard(target);
    QTest::sendKeyEvent(QTest::Press, target, Qt::Key(qtKey), text, qtModifiers(modifiers));
    if (!guard)
        return; // the press closed and freed the widget: there is nothing left to release on
    QTest::sendKeyEvent(QTest::Release, target, Qt::Key(qtKey), text, qtModifiers(modifiers));
}

/// The focused widget of the screen, where a keyboard delivers keys; the form itself without one.
QWidget* InputDriver::keyTarget() const {
    QWidget* formWidget = m_form.widget();
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus->window() == formWidget->window())
        return focus;
    return formWidget;
}

void InputDriver::saveShot(const std::string& path) {
    const QPixmap image = m_form.widget()->grab();
    if (!image.save(QString::fromStdString(path), "PNG"))
        throw StepError("could not write the screenshot to " + path);
}

#include "InputDriver.h"

#include <qmr41726/data/load/FileKind.h>
#include <qmr41726/rtl/MessageText.h>

#include <qmr41726/ui/forms/TForm.h>
#include <qmr41726/ui/grid/TDBGrid.h>

#include <QApplication>
#include <QPixmap>
#include <QWindow>

#include <array>

#include <sys/stat.h>
#include <unistd.h>

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

/// The modifier keys in the order a keyboard user presses them, with their bits.
struct ModifierKey {
    unsigned bit;
    Qt::Key key;
};
constexpr ModifierKey kModifierKeys[] = {
    {ModShift, Qt::Key_Shift}, {ModCtrl, Qt::Key_Control}, {ModAlt, Qt::Key_Alt}};

QString describe(const std::string& text) {
    return QString::fromStdString(nameExcerpt(text, kNameExcerptBytes, TextEncoding::Utf8));
}

/// The shown window `widget` lies in; StepError naming `what` when it is not shown.
QWindow* shownWindow(const QWidget* widget, const QString& what) {
    QWindow* window = widget->window()->windowHandle();
    if (!window || !window->isVisible())
        throw StepError((what.isEmpty() ? QStringLiteral("touch") : what).toStdString() +
                        ": the screen's window is not shown");
    return window;
}

/// `position` of `widget` in the coordinates of its window.
QPoint inWindow(const QWidget* widget, QPoint position) {
    return widget->window()->windowHandle()->mapFromGlobal(widget->mapToGlobal(position));
}

/// Whether `path` names the file standard output writes to, by any name (the file's own, a link
/// to it, a hard link): a picture written there would replace the report.
bool isStandardOutput(const std::string& path) {
    struct stat output {};
    struct stat file {};
    return ::fstat(STDOUT_FILENO, &output) == 0 && ::stat(path.c_str(), &file) == 0 &&
           output.st_dev == file.st_dev && output.st_ino == file.st_ino;
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
    const QPointer<QWidget> alive(widget);
    pressAt(widget, position, what);
    if (alive) // a press that freed the widget leaves nothing to release on
        releaseAt(widget, position, what);
}

void InputDriver::pressAt(QWidget* widget, QPoint position, const QString& what) {
    sendTouch(widget, position, what, QEvent::MouseButtonPress);
}

void InputDriver::releaseAt(QWidget* widget, QPoint position, const QString& what) {
    sendTouch(widget, position, what, QEvent::MouseButtonRelease);
}

void InputDriver::moveTo(QWidget* widget, QPoint position, const QString& what) {
    sendTouch(widget, position, what, QEvent::MouseMove);
}

void InputDriver::sendTouch(QWidget* widget, QPoint position, const QString& what, QEvent::Type type) {
    QWindow* window = shownWindow(widget, what);
    const QPoint point = inWindow(widget, position);
    if (m_pointer == Pointer::Mouse)
        m_input.mouse(window, point, type);
    else
        m_input.touch(window, point, type);
}

void InputDriver::perform(const KeyStep& step) {
    switch (step.kind) {
    case StepKind::Touch:
        return touchComponent(step.text);
    case StepKind::Title:
        return touchTitle(step.number);
    case StepKind::Row:
        return touchRow(step.number);
    case StepKind::Key:
        return pressKey(step.key, step.modifiers);
    case StepKind::Type:
        return typeText(step.characters);
    case StepKind::Hold:
    case StepKind::Release:
        return holdKey(step.key, step.kind == StepKind::Hold);
    case StepKind::Shot:
        return saveShot(step.text);
    case StepKind::Wait:
    case StepKind::Probe:
        throw StepError("\"" + step.source + "\" is no input step");
    }
}

void InputDriver::pressKey(KeyName key, unsigned modifiers) {
    PhysicalKey physical = kPhysicalKeys[std::size_t(key)];
    if (key == KeyName::Tab && ((modifiers | m_held) & ModShift))
        physical = {Qt::Key_Backtab, "\t"};
    sendKey(physical.key, QString::fromLatin1(physical.text), modifiers);
}

void InputDriver::holdKey(KeyName key, bool down) {
    if (key != KeyName::Shift)
        throw StepError("only Shift can be held");
    if (down == bool(m_held & ModShift))
        throw StepError(down ? "Shift is held already" : "Shift is not held");
    m_held = down ? m_held | ModShift : m_held & ~unsigned(ModShift);
    sendKeyEvent(keyTarget(), down, Qt::Key_Shift, qtModifiers(m_held), QString());
}

void InputDriver::typeText(const std::u32string& characters) {
    for (char32_t c : characters)
        sendKey(qtKeyOfCharacter(c), QString::fromUcs4(&c, 1), 0);
}

/// Presses (or releases, in reverse order) the modifier keys of `modifiers` on `target`. As a
/// keyboard reports them, a modifier key's press carries the modifiers held before it, and its
/// release those held up to then, itself included.
void InputDriver::sendModifierKeys(QWidget* target, unsigned modifiers, bool press) {
    unsigned held = press ? m_held : m_held | modifiers;
    for (std::size_t i = 0; i < std::size(kModifierKeys); ++i) {
        const ModifierKey& modifier = kModifierKeys[press ? i : std::size(kModifierKeys) - 1 - i];
        if (!(modifiers & modifier.bit))
            continue;
        sendKeyEvent(target, press, modifier.key, qtModifiers(held), QString());
        held = press ? held | modifier.bit : held & ~modifier.bit;
    }
}

/// A key pressed and released with the held modifiers and `modifiers`; those of `modifiers` not
/// held already are pressed before it and released after it. A Shift held by a hold: step gives
/// no Shift key event of its own here: a keyboard sends one when the key goes down, not per key.
void InputDriver::sendKey(int qtKey, const QString& text, unsigned modifiers) {
    const unsigned extra = modifiers & ~m_held;
    const Qt::KeyboardModifiers all = qtModifiers(m_held | modifiers);
    QWidget* target = keyTarget();
    const QPointer<QWidget> guard(target);
    sendModifierKeys(target, extra, true);
    sendKeyEvent(target, true, qtKey, all, text);
    if (!guard)
        return; // the press closed and freed the widget: there is nothing left to release on
    sendKeyEvent(target, false, qtKey, all, text);
    sendModifierKeys(target, extra, false);
}

/// A key event for `target`, through its window, which hands it to its focused widget: `target`.
void InputDriver::sendKeyEvent(QWidget* target, bool press, int qtKey, Qt::KeyboardModifiers modifiers,
                               const QString& text) {
    if (QWindow* window = target->window()->windowHandle())
        m_input.key(window, press, qtKey, modifiers, text);
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
    const std::string target =
        "could not write the screenshot to " + nameExcerpt(path, kPathExcerptBytes, TextEncoding::Utf8);
    // A file about to be written may be missing; anything else that is not a regular file is refused.
    if (const FileKindProblem problem = fileKindProblem(path);
        problem && problem.kind != FileKindProblem::Kind::Missing)
        throw StepError(target + ": it " + problem.words);
    if (isStandardOutput(path))
        throw StepError(target + ": it is the file the report is written to (standard output)");
    const QPixmap image = m_form.widget()->grab();
    if (!image.save(QString::fromStdString(path), "PNG"))
        throw StepError(target);
}

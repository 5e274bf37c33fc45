#pragma once
// Real input for a form: mouse presses, or a touch screen's touch events, through the window
// system's path (so the event lands on whatever widget is on top at that point) and key presses on
// the focused widget (so the form's key preview sees them first), exactly as a touch screen and a
// keyboard deliver them. The host application's scripted mode and the tests drive the screen
// through it alike.

#include "KeyScript.h"
#include "WindowSystemInput.h"

#include <QEvent>
#include <QPoint>
#include <QString>

#include <stdexcept>

class QWidget;
namespace qmr {
class TForm;
} // namespace qmr

/// A step that could not be carried out on the screen as it is now; the message says why.
class StepError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Sends the input events of key-script steps to one form. A Shift held by a hold: step stays
/// held for the keys that follow, until its release: step.
class InputDriver {
public:
    /// What a touch comes as: a mouse's button (as many touch panels' drivers report a finger), or
    /// Qt touch events of a touch screen.
    enum class Pointer { Mouse, TouchScreen };

    explicit InputDriver(qmr::TForm& form) : m_form(form) {}

    /// Touches from here on come from `pointer` (a mouse unless said otherwise).
    void setPointer(Pointer pointer) { m_pointer = pointer; }

    /// Carries out an input step (touch, title, row, key, type, hold, release, shot); StepError
    /// when it cannot act on the form as it is now, or for a step that is no input (wait, probe),
    /// which the caller times or records itself.
    void perform(const KeyStep& step);

    /// Press and release at the centre of the named component's widget.
    void touchComponent(const std::string& name);
    /// Press and release at `position` of `widget`, through its window as a finger lands: the
    /// event goes to whatever widget is on top there. `what` names the place in errors.
    void touchAt(QWidget* widget, QPoint position, const QString& what = {});
    /// The press alone (a finger that stays down) and the release alone, as touchAt.
    void pressAt(QWidget* widget, QPoint position, const QString& what = {});
    void releaseAt(QWidget* widget, QPoint position, const QString& what = {});
    /// The pressed finger (or button) slides to `position` of `widget`.
    void moveTo(QWidget* widget, QPoint position, const QString& what = {});
    /// Press and release on the title of grid column `column`.
    void touchTitle(int column);
    /// Press and release on the `row`th visible grid row.
    void touchRow(int row);
    /// A physical key press and release, modifiers not already held pressed around it as a
    /// keyboard does.
    void pressKey(KeyName key, unsigned modifiers);
    /// Presses Shift and keeps it held for the keys that follow (`down`), or lets it go.
    void holdKey(KeyName key, bool down);
    /// Each character as a physical key press and release carrying that text.
    void typeText(const std::u32string& characters);
    /// Saves a PNG image of the form.
    void saveShot(const std::string& path);

    /// Why a touch: step cannot name a component of this form, or an empty string when it can.
    QString touchProblem(const std::string& name) const;
    /// Number of columns of the screen's grid (0 without one).
    int gridColumnCount() const;

private:
    void sendKey(int qtKey, const QString& text, unsigned modifiers);
    void sendModifierKeys(QWidget* target, unsigned modifiers, bool press);
    void sendKeyEvent(QWidget* target, bool press, int qtKey, Qt::KeyboardModifiers modifiers,
                      const QString& text);
    QWidget* keyTarget() const;

    /// Sends one event of a touch at `position` of `widget`: pressed, moved or released.
    void sendTouch(QWidget* widget, QPoint position, const QString& what, QEvent::Type type);

    qmr::TForm& m_form;
    Pointer m_pointer = Pointer::Mouse;
    WindowSystemInput m_input;
    /// Modifiers held by hold: steps (KeyModifier bits).
    unsigned m_held = 0;
};

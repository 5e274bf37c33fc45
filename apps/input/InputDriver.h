#pragma once
// Real input for the screen: mouse presses through the window system's path (so the event lands on
// whatever widget is on top at that point) and key presses on the focused widget (so the form's
// key preview sees them first), exactly as a touch screen and a keyboard deliver them.

#include "KeyScript.h"

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

/// Sends the input events of key-script steps to one form.
class InputDriver {
public:
    explicit InputDriver(qmr::TForm& form) : m_form(form) {}

    /// Press and release at the centre of the named component's widget.
    void touchComponent(const std::string& name);
    /// Press and release on the title of grid column `column`.
    void touchTitle(int column);
    /// Press and release on the `row`th visible grid row.
    void touchRow(int row);
    /// A physical key press and release, modifiers pressed around it as a keyboard does.
    void pressKey(KeyName key, unsigned modifiers);
    /// Each character as a physical key press and release carrying that text.
    void typeText(const std::u32string& characters);
    /// Saves a PNG image of the form.
    void saveShot(const std::string& path);

    /// Why a touch: step cannot name a component of this form, or an empty string when it can.
    QString touchProblem(const std::string& name) const;
    /// Number of columns of the screen's grid (0 without one).
    int gridColumnCount() const;

private:
    void touchAt(QWidget* widget, QPoint position, const QString& what);
    void sendKey(int qtKey, const QString& text, unsigned modifiers);
    QWidget* keyTarget() const;

    qmr::TForm& m_form;
};

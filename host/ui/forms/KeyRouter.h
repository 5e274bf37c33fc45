#pragma once
// The one place physical keys are routed: every key event aimed at a widget of a form passes
// through here before Qt's own handling.

#include <QObject>

class QKeyEvent;
class QWidget;

namespace qmr {
class TForm;

/// An application-wide event filter that gives a form's key handlers every key first: the form's
/// OnKeyDown (with key preview), the focused control's OnKeyDown, then the characters through
/// the form's and the control's OnKeyPress, and only then the widget's own Qt handling. A key
/// whose code a handler set to 0 goes no further. Shortcut overrides are claimed for the widget,
/// so no Qt shortcut or default action ever acts on a form.
class KeyRouter : public QObject {
public:
    KeyRouter();
    ~KeyRouter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void route(TForm& form, QWidget& widget, QKeyEvent& event);
    void deliver(QWidget& widget, QKeyEvent& event);

    /// The event being handed to its widget; while it is alive no other event has its address.
    const QEvent* m_delivering = nullptr;
};

} // namespace qmr

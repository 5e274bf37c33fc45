#pragma once
// Input events handed to Qt where a window system hands them: Qt's window-system interface,
// delivered at once. Qt's own dispatch then treats them as a real device's: modality, shortcuts,
// the widget on top at the point, mouse events made from touches a widget does not take.

#include <QEvent>
#include <QPoint>
#include <QString>

class QWindow;

/// Sends mouse, touch and key events to windows, as one mouse, one touch screen and one keyboard
/// would. Presses are stamped far enough apart that Qt never joins two into a double click: a
/// script's touches are separate touches, however fast they come.
class WindowSystemInput {
public:
    /// A press, release or move (`type`, a mouse event type) of the left button at `position`
    /// (in the window's coordinates).
    void mouse(QWindow* window, QPoint position, QEvent::Type type);
    /// One finger of the touch screen going down, up or moving (`type` as for mouse()).
    void touch(QWindow* window, QPoint position, QEvent::Type type);
    /// A key going down or up in `window`, which hands it to its focused widget.
    void key(QWindow* window, bool press, int key, Qt::KeyboardModifiers modifiers, const QString& text);

private:
    /// The time stamp of the next event; a press moves the clock past the double-click interval.
    static ulong stamp(bool press);

    Qt::MouseButtons m_buttons;
};

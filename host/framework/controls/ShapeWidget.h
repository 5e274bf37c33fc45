#pragma once
// The Qt side of the windowless framework controls: a widget without a window of its own that
// never takes the focus and hands painting and touches to the control it belongs to.

#include <QWidget>
#include <qmr41726/QmrRuntimeExport.h>

class QPainter;

namespace qmr {

/// What a ShapeWidget asks of the control behind it.
class QMR_RUNTIME_EXPORT ShapeWidgetClient {
public:
    virtual ~ShapeWidgetClient() = default;
    /// Paints the control on its widget; `painter` draws in design pixels (TControl::scalePainter).
    virtual void paintShape(QPainter& painter) = 0;
    /// A touch began on the control (only while enabled).
    virtual void touchPressed() {}
    /// The held touch moved; `inside` tells whether it is still over the control.
    virtual void touchMoved(bool /*inside*/) {}
    /// The touch ended; `inside` tells whether it ended over the control.
    virtual void touchReleased(bool /*inside*/) {}
    /// The enabled state changed (also through a disabled parent).
    virtual void enabledChanged() {}
};

/// A windowless, focusless widget painted by its control.
class QMR_RUNTIME_EXPORT ShapeWidget : public QWidget {
public:
    ShapeWidget();
    /// The control the widget paints and touches for (not owned: the control owns the widget).
    void setClient(ShapeWidgetClient* client) noexcept { m_client = client; }

protected:
    /// Has the client paint, in design pixels.
    void paintEvent(QPaintEvent* event) override;
    /// A touch (a left press) on an enabled control begins; the client hears touchPressed.
    void mousePressEvent(QMouseEvent* event) override;
    /// The held touch moves; the client hears whether it is still inside.
    void mouseMoveEvent(QMouseEvent* event) override;
    /// The held touch ends; the client hears whether it ended inside.
    void mouseReleaseEvent(QMouseEvent* event) override;
    /// Tells the client when the enabled state changed.
    void changeEvent(QEvent* event) override;

private:
    ShapeWidgetClient* m_client = nullptr;
    bool m_held = false;
};

} // namespace qmr

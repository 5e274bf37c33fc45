#include <qmr41726/framework/controls/ShapeWidget.h>

#include <qmr41726/ui/controls/TControl.h>

#include <QMouseEvent>
#include <QPainter>

namespace qmr {

ShapeWidget::ShapeWidget() {
    setFocusPolicy(Qt::NoFocus);
    // The corners of a rounded shape show whatever lies below it.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    if (!m_client)
        return;
    QPainter painter(this);
    // The control paints in design pixels, whatever the scale its form is shown at.
    if (const TControl* control = TControl::fromWidget(this); control && control->widget() == this)
        control->scalePainter(painter);
    m_client->paintShape(painter);
}

void ShapeWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled() || !m_client) {
        event->ignore();
        return;
    }
    m_held = true;
    m_client->touchPressed();
}

void ShapeWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!m_held || !m_client)
        return;
    m_client->touchMoved(rect().contains(event->position().toPoint()));
}

void ShapeWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_held || event->button() != Qt::LeftButton || !m_client)
        return;
    m_held = false;
    m_client->touchReleased(isEnabled() && rect().contains(event->position().toPoint()));
}

void ShapeWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange)
        return;
    if (!isEnabled())
        m_held = false;
    if (m_client)
        m_client->enabledChanged();
    update();
}

} // namespace qmr

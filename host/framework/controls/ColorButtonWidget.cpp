#include <qmr41726/framework/controls/ColorButtonWidget.h>

#include <qmr41726/ui/controls/TControl.h>

#include <QPainter>

namespace qmr {

namespace {
constexpr qreal kCornerRadius = 4;
constexpr int kPressedDarkness = 125;
} // namespace

ColorButtonWidget::ColorButtonWidget() {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_NoSystemBackground);
}

void ColorButtonWidget::setFace(const QColor& face) {
    m_face = face;
    update();
}

void ColorButtonWidget::setGlyph(const QImage& glyph) {
    m_glyph = glyph;
    update();
}

void ColorButtonWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Drawn in design pixels, whatever the scale the button's form is shown at.
    QSize area = size();
    if (const TControl* control = TControl::fromWidget(this); control && control->widget() == this) {
        control->scalePainter(painter);
        area = QSize(control->width(), control->height());
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const bool pressed = isDown();
    painter.setPen(QPen(m_face.darker(150), 1));
    painter.setBrush(pressed ? m_face.darker(kPressedDarkness) : m_face);
    painter.drawRoundedRect(QRectF(QPointF(), area).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius,
                            kCornerRadius);
    if (m_glyph.isNull())
        return;
    if (!isEnabled())
        painter.setOpacity(0.4);
    const int sink = pressed ? 1 : 0;
    const QPoint origin((area.width() - m_glyph.width()) / 2 + sink,
                        (area.height() - m_glyph.height()) / 2 + sink);
    painter.drawImage(origin, m_glyph);
}

} // namespace qmr

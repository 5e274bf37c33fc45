#include <qmr41726/framework/controls/TBlendedBitBtn.h>

#include <qmr41726/ui/forms/PropertyValues.h>

#include <QPainter>

namespace qmr {

TBlendedBitBtn::TBlendedBitBtn() = default;

void TBlendedBitBtn::setGlyph(QImage glyph) {
    m_glyph = std::move(glyph);
    m_drawnGlyph = transparentGlyph(m_glyph);
    if (widget())
        widget()->update();
}

bool TBlendedBitBtn::setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) {
    if (name != "Glyph" && name != "Glyph.Data")
        return TBlendedButton::setProperty(name, value, events);
    setGlyph(resourceImageValue(name, value));
    return true;
}

void TBlendedBitBtn::paintContent(QPainter& painter, TColor textColor) {
    if (!m_drawnGlyph.isNull()) {
        painter.save();
        // A disabled key shows its glyph faded, like its caption.
        if (!enabled())
            painter.setOpacity(0.4);
        const QPoint origin((width() - m_drawnGlyph.width()) / 2, (height() - m_drawnGlyph.height()) / 2);
        painter.drawImage(origin, m_drawnGlyph);
        painter.restore();
    }
    TBlendedButton::paintContent(painter, textColor);
}

} // namespace qmr

#pragma once
// The Qt side of TdxfColorButton: a push button painted in a face colour with a centred glyph,
// which never takes the keyboard focus.

#include <QAbstractButton>
#include <QImage>

namespace qmr {

/// A focusless button with a flat coloured face and a glyph; pressed, it darkens and the glyph
/// sinks by a pixel.
class ColorButtonWidget : public QAbstractButton {
public:
    ColorButtonWidget();
    void setFace(const QColor& face);
    /// The glyph as it is drawn (transparent background already applied).
    void setGlyph(const QImage& glyph);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_face;
    QImage m_glyph;
};

} // namespace qmr

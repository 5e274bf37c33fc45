#pragma once
#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/framework/controls/TBlendedButton.h>

#include <QImage>

namespace qmr {

/// A touch key that shows a glyph bitmap, centred on its face. Pixels of the glyph's bottom-left
/// pixel colour are not drawn, so the glyph's background never hides the key's face.
class QMR_RUNTIME_EXPORT TBlendedBitBtn : public TBlendedButton {
public:
    TBlendedBitBtn();
    /// The glyph as given, background included.
    ///@{
    const QImage& glyph() const noexcept { return m_glyph; }
    void setGlyph(QImage glyph);
    ///@}
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

protected:
    void paintContent(QPainter& painter, TColor textColor) override;

private:
    QImage m_glyph;
    QImage m_drawnGlyph;
};

} // namespace qmr

#pragma once
#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/ui/controls/TControl.h>

#include <QImage>

namespace qmr {

class ColorButtonWidget;

/// A windowed button with a face colour and a glyph. A touch does not take the focus from the
/// control that has it, so physical keys keep arriving there. The glyph's bottom-left pixel
/// colour is its background and is not drawn.
class QMR_RUNTIME_EXPORT TdxfColorButton : public TWinControl {
public:
    TdxfColorButton();
    /// The glyph as given, background included.
    ///@{
    const QImage& glyph() const noexcept { return m_glyph; }
    void setGlyph(QImage glyph);
    ///@}
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

protected:
    void appearanceChanged() override;

private:
    ColorButtonWidget* button() const noexcept;

    QImage m_glyph;
};

} // namespace qmr

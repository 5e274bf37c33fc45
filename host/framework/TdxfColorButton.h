#pragma once
#include "host/ui/TControl.h"

#include <QImage>

/// A windowed button with a face colour and a glyph. A touch does not take the focus from the
/// control that has it, so physical keys keep arriving there.
class TdxfColorButton : public TWinControl {
public:
    TdxfColorButton();
    const QImage& glyph() const noexcept { return m_glyph; }
    void setGlyph(QImage glyph);
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

private:
    QImage m_glyph;
};

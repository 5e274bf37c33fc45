#pragma once
#include "host/framework/TBlendedButton.h"

#include <QImage>

/// A touch key that shows a glyph bitmap.
class TBlendedBitBtn : public TBlendedButton {
public:
    TBlendedBitBtn();
    const QImage& glyph() const noexcept { return m_glyph; }
    void setGlyph(QImage glyph);
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

private:
    QImage m_glyph;
};

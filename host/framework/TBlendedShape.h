#pragma once
#include "host/ui/TControl.h"

/// A filled shape: a rounded (or plain) rectangle in Brush.Color, outline per Pen.Style.
class TBlendedShape : public TGraphicControl {
public:
    enum class Shape { stRectangle, stRoundRect };
    enum class PenStyle { psSolid, psClear };
    /// The brush colour a shape has when the layout sets none.
    static constexpr TColor kDefaultBrushColor = clWhite;

    TBlendedShape();
    TColor brushColor() const noexcept { return m_brushColor; }
    void setBrushColor(TColor color);
    Shape shape() const noexcept { return m_shape; }
    PenStyle penStyle() const noexcept { return m_penStyle; }
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

protected:
    explicit TBlendedShape(std::unique_ptr<QWidget> widget);

private:
    TColor m_brushColor = kDefaultBrushColor;
    Shape m_shape = Shape::stRectangle;
    PenStyle m_penStyle = PenStyle::psSolid;
};

#pragma once
#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/framework/controls/ShapeWidget.h>
#include <qmr41726/ui/controls/TControl.h>

#include <utility>

class QPainter;

namespace qmr {

/// A filled shape: a rounded (or plain) rectangle in Brush.Color, outline per Pen.Style.
class QMR_RUNTIME_EXPORT TBlendedShape : public TGraphicControl, protected ShapeWidgetClient {
public:
    /// The outline: a plain rectangle or one with rounded corners (kCornerRadius).
    enum class Shape { stRectangle, stRoundRect };
    /// The outline's stroke: solid in penColor, or none.
    enum class PenStyle { psSolid, psClear };
    /// The brush colour a shape has when the layout sets none.
    static constexpr TColor kDefaultBrushColor = clWhite;
    /// Corner radius of rounded shapes, in pixels (less on shapes too small for it).
    static constexpr int kCornerRadius = 8;

    TBlendedShape();
    /// The fill colour.
    ///@{
    TColor brushColor() const noexcept { return m_brushColor; }
    void setBrushColor(TColor color);
    ///@}
    /// The outline's form.
    ///@{
    Shape shape() const noexcept { return m_shape; }
    void setShape(Shape shape);
    ///@}
    /// Whether the outline is stroked.
    ///@{
    PenStyle penStyle() const noexcept { return m_penStyle; }
    void setPenStyle(PenStyle style);
    ///@}
    /// The outline's colour (clBlack unless the layout sets one).
    ///@{
    TColor penColor() const noexcept { return m_penColor; }
    void setPenColor(TColor color);
    ///@}
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

protected:
    /// Takes `widget` over, for shapes whose widget does more than paint (keys).
    explicit TBlendedShape(std::unique_ptr<QWidget> widget);
    /// Paints the shape's face in its brush colour.
    void paintShape(QPainter& painter) override;
    /// Fills the outline in `face` and strokes it per the pen; keys draw their caption on top.
    void paintFace(QPainter& painter, TColor face) const;
    /// Stores a property that changes the look and schedules a repaint.
    template <class T> void changeLook(T& member, T value) {
        member = std::move(value);
        if (widget())
            widget()->update();
    }

private:
    TColor m_brushColor = kDefaultBrushColor;
    Shape m_shape = Shape::stRectangle;
    PenStyle m_penStyle = PenStyle::psSolid;
    TColor m_penColor = clBlack;
};

} // namespace qmr

#include <qmr41726/framework/controls/TBlendedShape.h>

#include <qmr41726/ui/forms/PropertyValues.h>
#include <qmr41726/ui/forms/TClassRegistry.h>

#include <QPainter>

#include <algorithm>

namespace qmr {

namespace {

constexpr TIdentName<TBlendedShape::PenStyle> kPenStyles[] = {{"psSolid", TBlendedShape::PenStyle::psSolid},
                                                              {"psClear", TBlendedShape::PenStyle::psClear}};
constexpr TIdentName<TBlendedShape::Shape> kShapes[] = {{"stRectangle", TBlendedShape::Shape::stRectangle},
                                                        {"stRoundRect", TBlendedShape::Shape::stRoundRect}};

} // namespace

TBlendedShape::TBlendedShape() : TBlendedShape(std::make_unique<ShapeWidget>()) {}

TBlendedShape::TBlendedShape(std::unique_ptr<QWidget> widget) : TGraphicControl(std::move(widget)) {
    if (auto* shape = dynamic_cast<ShapeWidget*>(this->widget()))
        shape->setClient(this);
}

void TBlendedShape::setBrushColor(TColor color) {
    changeLook(m_brushColor, color);
}

void TBlendedShape::setShape(Shape shape) {
    changeLook(m_shape, shape);
}

void TBlendedShape::setPenStyle(PenStyle style) {
    changeLook(m_penStyle, style);
}

void TBlendedShape::setPenColor(TColor color) {
    changeLook(m_penColor, color);
}

bool TBlendedShape::setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) {
    if (name == "Brush.Color")
        setBrushColor(colorValue(name, value));
    else if (name == "Pen.Color")
        setPenColor(colorValue(name, value));
    else if (name == "Pen.Style")
        setPenStyle(identTableValue<PenStyle>(name, "pen style", value, kPenStyles));
    else if (name == "Shape")
        setShape(identTableValue<Shape>(name, "shape", value, kShapes));
    else
        return TGraphicControl::setProperty(name, value, events);
    return true;
}

void TBlendedShape::paintShape(QPainter& painter) {
    paintFace(painter, m_brushColor);
}

void TBlendedShape::paintFace(QPainter& painter, TColor face) const {
    const QRectF area(0, 0, width(), height());
    if (area.isEmpty())
        return;
    painter.save();
    // A 1-pixel outline is stroked on the pixel centres of the outermost ring, inside the area.
    const bool outlined = m_penStyle == PenStyle::psSolid;
    painter.setPen(outlined ? QPen(qtColor(m_penColor), 1) : QPen(Qt::NoPen));
    painter.setBrush(qtColor(face));
    const QRectF outline = outlined ? area.adjusted(0.5, 0.5, -0.5, -0.5) : area;
    if (m_shape == Shape::stRectangle) {
        painter.drawRect(outline);
    } else {
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal radius = std::min<qreal>(kCornerRadius, std::min(area.width(), area.height()) / 2);
        painter.drawRoundedRect(outline, radius, radius);
    }
    painter.restore();
}

} // namespace qmr

#include <qmr41726/framework/controls/TdxfColorButton.h>

#include <qmr41726/framework/controls/ColorButtonWidget.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/forms/PropertyValues.h>

namespace qmr {

TdxfColorButton::TdxfColorButton() : TWinControl(std::make_unique<ColorButtonWidget>()) {
    ColorButtonWidget* face = button();
    face->setFace(qtColor(color()));
    // A disabled face emits no click: touches on a disabled button do nothing.
    QObject::connect(face, &QAbstractButton::clicked, face, [this] { dispatchHandler([this] { click(); }); });
}

ColorButtonWidget* TdxfColorButton::button() const noexcept {
    return static_cast<ColorButtonWidget*>(widget());
}

void TdxfColorButton::setGlyph(QImage glyph) {
    m_glyph = std::move(glyph);
    if (button())
        button()->setGlyph(transparentGlyph(m_glyph));
}

bool TdxfColorButton::setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) {
    if (name != "Glyph" && name != "Glyph.Data")
        return TWinControl::setProperty(name, value, events);
    setGlyph(resourceImageValue(name, value));
    return true;
}

void TdxfColorButton::appearanceChanged() {
    TWinControl::appearanceChanged();
    if (button())
        button()->setFace(qtColor(color()));
}

} // namespace qmr

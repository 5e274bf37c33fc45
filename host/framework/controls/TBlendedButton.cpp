#include <qmr41726/framework/controls/TBlendedButton.h>

#include <qmr41726/ui/QtText.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/forms/PropertyValues.h>

#include <QAccessible>
#include <QPainter>

namespace qmr {

namespace {

/// Tells assistive tools, when any listens, that a state of the key's widget changed.
void announceStateChange(QWidget* widget, QAccessible::State changed) {
    if (!widget || !QAccessible::isActive())
        return;
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

/// Tells assistive tools, when any listens, that the key's name (its caption) changed.
void announceNameChange(QWidget* widget) {
    if (!widget || !QAccessible::isActive())
        return;
    QAccessibleEvent event(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace

TBlendedButton::TBlendedButton() {
    setShape(Shape::stRoundRect);
}

void TBlendedButton::setCaption(const AnsiString& caption) {
    if (caption == m_caption)
        return;
    changeLook(m_caption, caption);
    announceNameChange(widget());
}

void TBlendedButton::setCheckable(bool checkable) {
    m_checkable = checkable;
}

void TBlendedButton::setChecked(bool checked) {
    if (checked == m_checked)
        return;
    m_checked = checked;
    QAccessible::State changed;
    changed.checked = true;
    announceStateChange(widget(), changed);
}

void TBlendedButton::setDownColor(TColor color) {
    changeLook(m_downColor, color);
}

void TBlendedButton::setDownFontColor(TColor color) {
    changeLook(m_downFontColor, color);
}

void TBlendedButton::setDisabledColor(TColor color) {
    changeLook(m_disabledColor, color);
}

void TBlendedButton::setDisabledFontColor(TColor color) {
    changeLook(m_disabledFontColor, color);
}

bool TBlendedButton::setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) {
    if (name == "Caption")
        setCaption(AnsiString(textValue(name, value)));
    else if (name == "DownColor")
        setDownColor(colorValue(name, value));
    else if (name == "DownFontColor")
        setDownFontColor(colorValue(name, value));
    else if (name == "DisabledColor")
        setDisabledColor(colorValue(name, value));
    else if (name == "DisabledFontColor")
        setDisabledFontColor(colorValue(name, value));
    else if (name == "Checkable")
        setCheckable(booleanValue(name, value));
    else
        return TBlendedShape::setProperty(name, value, events);
    return true;
}

void TBlendedButton::paintShape(QPainter& painter) {
    if (!enabled()) {
        paintFace(painter, m_disabledColor);
        paintContent(painter, m_disabledFontColor);
        return;
    }
    paintFace(painter, m_down ? m_downColor : brushColor());
    paintContent(painter, m_down ? m_downFontColor : font().color);
}

void TBlendedButton::paintContent(QPainter& painter, TColor textColor) {
    if (m_caption.empty())
        return;
    painter.save();
    painter.setFont(qtFont(font()));
    painter.setPen(qtColor(textColor));
    painter.drawText(QRect(0, 0, width(), height()), Qt::AlignCenter, toQString(m_caption));
    painter.restore();
}

void TBlendedButton::touchPressed() {
    setDown(true);
}

void TBlendedButton::touchMoved(bool inside) {
    setDown(inside);
}

void TBlendedButton::touchReleased(bool inside) {
    setDown(false);
    if (!inside || !enabled())
        return;
    // The handler may free the form this key lives on; nothing of the key is touched after it.
    dispatchHandler([this] { click(); });
}

void TBlendedButton::enabledChanged() {
    changeLook(m_down, false);
}

void TBlendedButton::appearanceChanged() {
    TBlendedShape::appearanceChanged();
    if (widget())
        widget()->update();
}

void TBlendedButton::setDown(bool down) {
    if (down == m_down)
        return;
    changeLook(m_down, down);
    QAccessible::State changed;
    changed.pressed = true;
    announceStateChange(widget(), changed);
}

} // namespace qmr

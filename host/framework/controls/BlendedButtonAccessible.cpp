#include <qmr41726/framework/controls/BlendedButtonAccessible.h>

#include <qmr41726/framework/controls/TBlendedButton.h>
#include <qmr41726/ui/QtText.h>
#include <qmr41726/ui/TApplication.h>

namespace qmr {

namespace {

/// Qt asks this for every object an assistive tool reaches; only the keys' widgets get the key
/// interface, everything else keeps Qt's own.
QAccessibleInterface* keyInterface(const QString& /*className*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    const auto* key = widget ? dynamic_cast<TBlendedButton*>(TControl::fromWidget(widget)) : nullptr;
    if (!key || key->widget() != widget)
        return nullptr;
    return new BlendedButtonAccessible(widget); // Qt's accessibility cache owns it
}

} // namespace

BlendedButtonAccessible::BlendedButtonAccessible(QWidget* widget)
    : QAccessibleWidget(widget, QAccessible::Button) {}

TBlendedButton* BlendedButtonAccessible::key() const {
    return dynamic_cast<TBlendedButton*>(TControl::fromWidget(widget()));
}

QString BlendedButtonAccessible::text(QAccessible::Text kind) const {
    const TBlendedButton* button = key();
    if (kind != QAccessible::Name || !button)
        return QAccessibleWidget::text(kind);
    // A named key (space bar, glyph keys) speaks its name; the others what their face shows.
    return toQString(button->accessibleName().empty() ? button->caption() : button->accessibleName());
}

QAccessible::State BlendedButtonAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    // Keys never take the focus: a tool must not offer to move it there.
    state.focusable = false;
    if (const TBlendedButton* button = key()) {
        state.pressed = button->down();
        state.checkable = button->checkable();
        state.checked = button->checkable() && button->checked();
    }
    return state;
}

QStringList BlendedButtonAccessible::actionNames() const {
    return {pressAction()};
}

void BlendedButtonAccessible::doAction(const QString& actionName) {
    TBlendedButton* button = key();
    // A disabled key refuses an assistive press as it refuses a touch.
    if (actionName != pressAction() || !button || !button->enabled())
        return;
    dispatchHandler([button] { button->click(); });
}

void installBlendedButtonAccessible() {
    // Qt keeps one entry per factory, so a second call adds nothing.
    QAccessible::installFactory(keyInterface);
}

} // namespace qmr

#include <qmr41726/ui/controls/TPanel.h>

#include <qmr41726/ui/forms/PropertyValues.h>

namespace qmr {

TPanel::TPanel() : TWinControl(std::make_unique<QWidget>()) {
    // A child widget clips its children to its own rectangle, which is what the panel is for.
    widget()->setFocusPolicy(Qt::NoFocus);
    widget()->setAutoFillBackground(true);
    appearanceChanged();
}

bool TPanel::setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) {
    if (name != "Caption")
        return TWinControl::setProperty(name, value, events);
    setCaption(AnsiString(textValue(name, value)));
    return true;
}

} // namespace qmr

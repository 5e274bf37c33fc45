#include <qmr41726/ui/forms/TClassRegistry.h>

#include <qmr41726/ui/controls/TControl.h>

#include <map>
#include <string>

namespace qmr {

EComponentError::~EComponentError() = default;

namespace {

struct TRegisteredClass {
    TComponentFactory factory;
    TPropertySetter setter;
};

/// The classes the loader can create, by name. Filled by explicit registration calls only.
std::map<std::string, TRegisteredClass, std::less<>>& registry() {
    static std::map<std::string, TRegisteredClass, std::less<>> classes;
    return classes;
}

const TRegisteredClass& findClass(std::string_view className) {
    const auto it = registry().find(className);
    if (it == registry().end())
        throw EComponentError("Class " + AnsiString(className) + " not found");
    return it->second;
}

/// Controls take their properties through the control's own (virtual) setter.
bool controlProperty(TComponent& component, std::string_view name, const TPropertyValue& value,
                     TEventBinder& events) {
    auto* control = dynamic_cast<TControl*>(&component);
    return control && control->setProperty(name, value, events);
}

} // namespace

void registerClass(std::string_view className, TComponentFactory factory, TPropertySetter setter) {
    registry()[std::string(className)] =
        TRegisteredClass{std::move(factory), setter ? std::move(setter) : TPropertySetter(controlProperty)};
}

std::unique_ptr<TComponent> createComponent(std::string_view className) {
    return findClass(className).factory();
}

bool setComponentProperty(std::string_view className, TComponent& component, std::string_view name,
                          const TPropertyValue& value, TEventBinder& events) {
    return findClass(className).setter(component, name, value, events);
}

} // namespace qmr

#pragma once
// Classes the layout loader can create, by name. The runtime registers its own control classes
// from an explicit call (registerRuntimeClasses), never from static constructors, since the
// library is loaded and unloaded by hosts.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/TComponent.h>

#include <functional>
#include <memory>
#include <string_view>

namespace qmr {

class TForm;

/// The error the component runtime raises for a bad layout, class or component name.
class QMR_RUNTIME_EXPORT EComponentError : public Exception {
public:
    using Exception::Exception;
    ~EComponentError() override;
};

struct TPropertyValue;
class TEventBinder;

/// Creates an unowned component of a registered class.
using TComponentFactory = std::function<std::unique_ptr<TComponent>()>;
/// Sets one layout property on a component of the class; false when the class has no such
/// property. Non-visual classes (data sources, timers, message lists) register one too.
using TPropertySetter =
    std::function<bool(TComponent&, std::string_view, const TPropertyValue&, TEventBinder&)>;

/// Registers `className`; a second registration of a name replaces the first. Without a setter,
/// a control's properties go to TControl::setProperty and other components have none.
QMR_RUNTIME_EXPORT void registerClass(std::string_view className, TComponentFactory factory,
                                      TPropertySetter setter = nullptr);
/// A new component of the class, or EComponentError "Class X not found".
QMR_RUNTIME_EXPORT std::unique_ptr<TComponent> createComponent(std::string_view className);
/// Sets a layout property through the class's setter; false for a property the class lacks.
/// EComponentError "Class X not found" for an unregistered class.
QMR_RUNTIME_EXPORT bool setComponentProperty(std::string_view className, TComponent& component,
                                             std::string_view name, const TPropertyValue& value,
                                             TEventBinder& events);
/// Registers every class of the runtime a layout may name: its controls and the framework's. Idempotent.
QMR_RUNTIME_EXPORT void registerRuntimeClasses();

} // namespace qmr

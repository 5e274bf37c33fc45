#pragma once
// Classes the layout loader can create, by name. The runtime registers its own control classes
// from an explicit call (registerRuntimeClasses), never from static constructors, since the
// library is loaded and unloaded by hosts.

#include "host/rtl/Exception.h"
#include "host/rtl/TComponent.h"

#include <functional>
#include <memory>
#include <string_view>

class TForm;

/// The error the component runtime raises for a bad layout, class or component name.
class EComponentError : public Exception {
public:
    using Exception::Exception;
};

/// Creates an unowned component of a registered class.
using TComponentFactory = std::function<std::unique_ptr<TComponent>()>;

/// Registers `className`; a second registration of a name replaces the first.
void registerClass(std::string_view className, TComponentFactory factory);
/// A new component of the class, or EComponentError "Class X not found".
std::unique_ptr<TComponent> createComponent(std::string_view className);
/// Registers every class of host/ui and host/framework. Idempotent.
void registerRuntimeClasses();

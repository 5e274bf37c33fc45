#include "host/ui/Layout.h"

#include "host/ui/TClassRegistry.h"
#include "host/ui/TForm.h"

namespace qmr {

namespace {

/// The error as it should read: prefixed with the component's name unless it names it already.
[[noreturn]] void rethrowNamed(std::string_view component, const EComponentError& error) {
    const AnsiString prefix = AnsiString(component) + ": ";
    if (error.Message().starts_with(prefix))
        throw error;
    throw EComponentError(prefix + error.Message());
}

[[noreturn]] void fail(std::string_view component, const AnsiString& what) {
    throw EComponentError(AnsiString(component) + ": " + what);
}

/// The control a row names as its parent; the form when it names none.
TWinControl& parentOf(TForm& form, const TLayoutComponent& row) {
    if (row.parent.empty())
        return form;
    TComponent* found = form.findComponent(row.parent);
    if (!found)
        fail(row.name, "parent '" + AnsiString(row.parent) + "' not found");
    auto* parent = dynamic_cast<TWinControl*>(found);
    if (!parent)
        fail(row.name, "parent '" + AnsiString(row.parent) + "' cannot hold controls");
    return *parent;
}

std::unique_ptr<TComponent> create(const TLayoutComponent& row) {
    try {
        return createComponent(row.className);
    } catch (const EComponentError& error) {
        rethrowNamed(row.name, error);
    }
}

/// Creates the row's component, owned by the form, placed on its parent and named.
TComponent& createOwned(TForm& form, const TLayoutComponent& row) {
    if (row.name.empty())
        throw EComponentError("A component of class " + AnsiString(row.className) + " has no name");
    if (form.findComponent(row.name))
        fail(row.name, "a component of that name already exists");
    TComponent* component = form.adopt(create(row));
    auto* control = dynamic_cast<TControl*>(component);
    if (!control) {
        if (!row.parent.empty())
            fail(row.name, "class " + AnsiString(row.className) + " is not a control and has no parent");
        component->setName(AnsiString(row.name));
        return *component;
    }
    control->setName(AnsiString(row.name));
    control->setParent(&parentOf(form, row));
    return *control;
}

void loadComponent(TForm& form, const TLayoutComponent& row, std::span<const TMethodEntry> methods) {
    TComponent& component = createOwned(form, row);
    TEventBinder events(row.name, methods);
    for (const TLayoutProperty& property : row.properties) {
        bool known = false;
        try {
            known = setComponentProperty(row.className, component, property.name, property.value, events);
        } catch (const EComponentError& error) {
            rethrowNamed(row.name, error);
        }
        if (!known)
            fail(row.name, "unknown property '" + AnsiString(property.name) + "' of class " +
                               AnsiString(row.className));
    }
}

void loadFormProperties(TForm& form, const TLayout& layout, std::span<const TMethodEntry> methods) {
    const AnsiString formName = form.name().empty() ? AnsiString("Form") : form.name();
    TEventBinder events(formName, methods);
    for (const TLayoutProperty& property : layout.formProperties) {
        bool known = false;
        try {
            known = form.setProperty(property.name, property.value, events);
        } catch (const EComponentError& error) {
            rethrowNamed(formName, error);
        }
        if (!known)
            fail(formName, "unknown property '" + AnsiString(property.name) + "' of class TForm");
    }
}

} // namespace

TEventBinder::TEventBinder(std::string_view componentName, std::span<const TMethodEntry> methods)
    : m_componentName(componentName), m_methods(methods) {}

const THandler& TEventBinder::lookup(std::string_view eventName, const TPropertyValue& value) const {
    const THandlerName* handler = std::get_if<THandlerName>(&value.value);
    if (!handler)
        fail(m_componentName, "event " + AnsiString(eventName) + " expects a handler name");
    for (const TMethodEntry& method : m_methods) {
        if (method.name == handler->name)
            return method.handler;
    }
    fail(m_componentName, "handler '" + AnsiString(handler->name) + "' of event " + AnsiString(eventName) +
                              " is not a published method of the form");
}

void TEventBinder::wrongType(std::string_view eventName, std::string_view handler) const {
    fail(m_componentName, "handler '" + AnsiString(handler) + "' does not fit event " +
                              AnsiString(eventName) + " (wrong parameter list)");
}

void loadLayout(TForm& form, const TLayout& layout, std::span<const TMethodEntry> methods) {
    loadFormProperties(form, layout, methods);
    for (const TLayoutComponent& row : layout.components)
        loadComponent(form, row, methods);
}

} // namespace qmr

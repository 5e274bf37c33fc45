#include <qmr41726/ui/forms/Layout.h>

#include <qmr41726/ui/forms/TClassRegistry.h>
#include <qmr41726/ui/forms/TForm.h>

#include <algorithm>

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

/// Points the published field named after the row's component, if the form has one, at it.
void pointField(const TLayoutComponent& row, TComponent& component,
                std::span<const TPublishedEntry> published) {
    for (const TPublishedEntry& entry : published) {
        const auto* field = std::get_if<TComponentField>(&entry.member);
        if (!field || entry.name != row.name)
            continue;
        if (!field->point(component))
            fail(row.name, "class " + AnsiString(row.className) +
                               " does not fit the form's published field of that name");
        return;
    }
}

void loadComponent(TForm& form, const TLayoutComponent& row, std::span<const TPublishedEntry> published) {
    TComponent& component = createOwned(form, row);
    TEventBinder events(row.name, published);
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
    pointField(row, component, published);
}

/// A published field the layout creates no component for would stay null and fail far from here,
/// at its first use; it fails now, naming the field.
void checkEveryFieldPointed(const TForm& form, const TLayout& layout,
                            std::span<const TPublishedEntry> published) {
    for (const TPublishedEntry& entry : published) {
        if (!std::holds_alternative<TComponentField>(entry.member))
            continue;
        const bool created = std::ranges::any_of(
            layout.components, [&](const TLayoutComponent& row) { return row.name == entry.name; });
        if (!created)
            fail(form.name().empty() ? AnsiString("Form") : form.name(),
                 "the layout has no component for the published field '" + AnsiString(entry.name) + "'");
    }
}

void loadFormProperties(TForm& form, const TLayout& layout, std::span<const TPublishedEntry> methods) {
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

TEventBinder::TEventBinder(std::string_view componentName, std::span<const TPublishedEntry> methods)
    : m_componentName(componentName), m_methods(methods) {}

const THandler& TEventBinder::lookup(std::string_view eventName, const TPropertyValue& value) const {
    const THandlerName* handler = std::get_if<THandlerName>(&value.value);
    if (!handler)
        fail(m_componentName, "event " + AnsiString(eventName) + " expects a handler name");
    for (const TPublishedEntry& entry : m_methods) {
        const THandler* method = std::get_if<THandler>(&entry.member);
        if (method && entry.name == handler->name)
            return *method;
    }
    fail(m_componentName, "handler '" + AnsiString(handler->name) + "' of event " + AnsiString(eventName) +
                              " is not a published method of the form");
}

void TEventBinder::wrongType(std::string_view eventName, std::string_view handler) const {
    fail(m_componentName, "handler '" + AnsiString(handler) + "' does not fit event " +
                              AnsiString(eventName) + " (wrong parameter list)");
}

void loadLayout(TForm& form, const TLayout& layout, std::span<const TPublishedEntry> published) {
    loadFormProperties(form, layout, published);
    for (const TLayoutComponent& row : layout.components)
        loadComponent(form, row, published);
    checkEveryFieldPointed(form, layout, published);
}

} // namespace qmr

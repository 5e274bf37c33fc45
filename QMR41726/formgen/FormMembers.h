#pragma once
// The members a form's class declares for its layout: a field for every component and a handler
// for every name an event property binds.

#include "FormTypes.h"

#include <qmr41726/ui/forms/Layout.h>

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

/// A layout formgen cannot declare members for; the message names the row and what is wrong.
class FormGenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A component field: `type* name = nullptr;`.
struct ComponentField {
    std::string_view name;
    const ComponentType* type;
};

/// A published handler: `void name(parameters);`.
struct EventHandler {
    std::string_view name;
    const EventSignature* signature;
};

/// The component fields and event handlers of a form's class, read from its layout and checked, so
/// that what is generated from them either compiles into the class the layout loader expects or
/// is not generated at all.
class FormMembers {
public:
    /// Reads `layout`; `fieldOrder` names its components in the order the class declares their
    /// fields. Throws FormGenError for a class or event with no known C++ side, a name that is no
    /// identifier or is taken twice, a handler bound to events of different signatures, and a
    /// field order that does not name every component exactly once.
    FormMembers(const qmr::TLayout& layout, std::span<const std::string_view> fieldOrder);

    /// The fields in declaration order.
    const std::vector<ComponentField>& fields() const { return m_fields; }
    /// The handlers in the order the layout first binds them: the form's events, then the rows'.
    const std::vector<EventHandler>& handlers() const { return m_handlers; }

private:
    void readEvents(const std::string& where, const std::vector<qmr::TLayoutProperty>& properties);
    void orderFields(const qmr::TLayout& layout, const std::vector<ComponentField>& created,
                     std::span<const std::string_view> fieldOrder);

    std::vector<ComponentField> m_fields;
    std::vector<EventHandler> m_handlers;
    /// Where each handler is first bound, for the message of a clash.
    std::vector<std::string> m_firstBound;
};

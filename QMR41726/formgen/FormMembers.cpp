// Reading a layout into the members of its form's class. Whatever would generate a class that
// does not compile, or one the layout loader would refuse at run time, stops the build here
// instead, with the layout row it comes from.

#include "FormMembers.h"

#include <algorithm>
#include <variant>

using namespace qmr;

namespace {

/// Whether `name` can name a C++ member.
bool isIdentifier(std::string_view name) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return !name.empty() && letter(name.front()) &&
           std::all_of(name.begin(), name.end(), [&](char c) { return letter(c) || digit(c); });
}

/// How messages name a layout row: its place in the table (from 1), its component and class.
std::string rowName(std::size_t index, const TLayoutComponent& row) {
    return "layout row " + std::to_string(index + 1) + " ('" + std::string(row.name) + "', " +
           std::string(row.className) + ")";
}

[[noreturn]] void fail(const std::string& where, const std::string& what) {
    throw FormGenError(where + ": " + what);
}

// Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on "'" + std::string(name).
std::string quoted(std::string_view name) {
    std::string text(1, '\'');
    text.append(name).push_back('\'');
    return text;
}

template <class Member> auto named(const std::vector<Member>& members, std::string_view name) {
    return std::find_if(members.begin(), members.end(), [&](const Member& m) { return m.name == name; });
}

} // namespace

FormMembers::FormMembers(const TLayout& layout, std::span<const std::string_view> fieldOrder) {
    readEvents("the form", layout.formProperties);
    std::vector<ComponentField> created;
    for (std::size_t i = 0; i < layout.components.size(); ++i) {
        const TLayoutComponent& row = layout.components[i];
        const std::string where = rowName(i, row);
        if (!isIdentifier(row.name))
            fail(where, "the component's name is no C++ identifier");
        if (named(created, row.name) != created.end())
            fail(where, "an earlier row creates a component of that name");
        const ComponentType* type = componentType(row.className);
        if (!type)
            fail(where, "formgen knows no C++ type for class " + std::string(row.className) +
                            " (formgen/FormTypes.cpp)");
        created.push_back({row.name, type});
        readEvents(where, row.properties);
    }
    for (std::size_t i = 0; i < m_handlers.size(); ++i)
        if (named(created, m_handlers[i].name) != created.end())
            fail(m_firstBound[i], "handler " + quoted(m_handlers[i].name) + " has the name of a component");
    orderFields(layout, created, fieldOrder);
}

void FormMembers::readEvents(const std::string& where, const std::vector<TLayoutProperty>& properties) {
    for (const TLayoutProperty& property : properties) {
        const EventSignature* signature = eventSignature(property.name);
        const auto* handler = std::get_if<THandlerName>(&property.value.value);
        if (!handler) {
            if (signature)
                fail(where, "event " + std::string(property.name) + " is given no handler name");
            continue;
        }
        const std::string bound =
            "handler " + quoted(handler->name) + " of event " + std::string(property.name);
        if (!isIdentifier(handler->name))
            fail(where, bound + ": the handler's name is no C++ identifier");
        if (!signature)
            fail(where,
                 bound + ": formgen knows no handler signature for that event (formgen/FormTypes.cpp)");
        const auto known = named(m_handlers, handler->name);
        if (known == m_handlers.end()) {
            m_handlers.push_back({handler->name, signature});
            m_firstBound.push_back(where);
        } else if (known->signature->parameters != signature->parameters) {
            fail(where, bound + ": " + m_firstBound[std::size_t(known - m_handlers.begin())] +
                            " binds it to " + std::string(known->signature->event) +
                            ", whose handlers take other parameters");
        }
    }
}

void FormMembers::orderFields(const TLayout& layout, const std::vector<ComponentField>& created,
                              std::span<const std::string_view> fieldOrder) {
    for (const std::string_view name : fieldOrder) {
        const auto field = named(created, name);
        if (field == created.end())
            throw FormGenError("the field order names " + quoted(name) + ", which no layout row creates");
        if (named(m_fields, name) != m_fields.end())
            throw FormGenError("the field order names " + quoted(name) + " twice");
        m_fields.push_back(*field);
    }
    for (std::size_t i = 0; i < layout.components.size(); ++i)
        if (named(m_fields, layout.components[i].name) == m_fields.end())
            fail(rowName(i, layout.components[i]), "the field order leaves the component out");
}

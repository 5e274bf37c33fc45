#pragma once
// The header formgen writes for a form's class.

#include "FormMembers.h"

#include <string>
#include <string_view>

/// The text of the header that gives `className` its members, as three macros its class body and
/// its published table expand: CLASS_COMPONENT_FIELDS (the fields in declaration order),
/// CLASS_EVENT_HANDLERS (the handlers' declarations) and CLASS_PUBLISHED_ENTRIES (the published
/// table's rows, handlers first), CLASS being `className` in capitals. It includes the headers of
/// the components' classes.
std::string membersHeader(const FormMembers& members, std::string_view className);

#pragma once
// What formgen knows of the runtime: the C++ type and header of each component class a layout may
// name, and the parameters of the handlers each event a layout may bind calls.

#include <string_view>

/// The C++ side of a component class a layout names.
struct ComponentType {
    std::string_view className; ///< as the layout writes it: TBlendedButton
    std::string_view cppType;   ///< qmr::TBlendedButton
    std::string_view header;    ///< qmr41726/framework/controls/TBlendedButton.h
};

/// The parameter list of the handlers an event calls, as a declaration writes it.
struct EventSignature {
    std::string_view event;      ///< OnClick
    std::string_view parameters; ///< (qmr::TObject* Sender)
};

/// The C++ side of `className`; nullptr for a class formgen cannot map.
const ComponentType* componentType(std::string_view className);
/// The handler parameters of `event`; nullptr for an event formgen has no signature for.
const EventSignature* eventSignature(std::string_view event);

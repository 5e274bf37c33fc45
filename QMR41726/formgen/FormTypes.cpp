// The runtime's component classes and events as the form's class declares them. A class or event
// added to the runtime's class registry gets its row here before a layout can use it.

#include "FormTypes.h"

#include <cstddef>

namespace {

constexpr ComponentType kComponentTypes[] = {
    {"TBlendedBitBtn", "qmr::TBlendedBitBtn", "qmr41726/framework/controls/TBlendedBitBtn.h"},
    {"TBlendedButton", "qmr::TBlendedButton", "qmr41726/framework/controls/TBlendedButton.h"},
    {"TBlendedShape", "qmr::TBlendedShape", "qmr41726/framework/controls/TBlendedShape.h"},
    {"TDBGrid", "qmr::TDBGrid", "qmr41726/ui/grid/TDBGrid.h"},
    {"TDataSource", "qmr::TDataSource", "qmr41726/data/dataset/TDataSource.h"},
    {"TEdit", "qmr::TEdit", "qmr41726/ui/controls/TEdit.h"},
    {"TMessages", "qmr::TMessages", "qmr41726/framework/TMessages.h"},
    {"TPanel", "qmr::TPanel", "qmr41726/ui/controls/TPanel.h"},
    {"TTimer", "qmr::TTimer", "qmr41726/ui/controls/TTimer.h"},
    {"TdxfColorButton", "qmr::TdxfColorButton", "qmr41726/framework/controls/TdxfColorButton.h"},
};

// The signatures of <qmr41726/ui/Types.h>'s event types, which publish() in
// <qmr41726/ui/forms/Layout.h> tells apart by a handler's parameters.
constexpr std::string_view kNotify = "(qmr::TObject* Sender)";
constexpr EventSignature kEventSignatures[] = {
    {"OnClick", kNotify},
    {"OnClose", "(qmr::TObject* Sender, qmr::TCloseAction& Action)"},
    {"OnCreate", kNotify},
    {"OnKeyDown", "(qmr::TObject* Sender, qmr::WORD& Key, qmr::TShiftState Shift)"},
    {"OnKeyPress", "(qmr::TObject* Sender, char& Key)"},
    {"OnTimer", kNotify},
    {"OnTitleClick", "(qmr::TColumn* Column)"},
};

template <class Row, std::size_t N>
const Row* find(const Row (&rows)[N], std::string_view Row::*key, std::string_view value) {
    for (const Row& row : rows)
        if (row.*key == value)
            return &row;
    return nullptr;
}

} // namespace

const ComponentType* componentType(std::string_view className) {
    return find(kComponentTypes, &ComponentType::className, className);
}

const EventSignature* eventSignature(std::string_view event) {
    return find(kEventSignatures, &EventSignature::event, event);
}

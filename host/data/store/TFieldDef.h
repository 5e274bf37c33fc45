#pragma once
// What a column holds, before any data set shows it: the loaders describe their columns with these
// definitions and the column store keeps them.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/rtl/AnsiString.h>

namespace qmr {

/// The types a field can hold.
enum class TFieldType { ftString, ftInteger, ftFloat, ftBoolean, ftDateTime };

/// The type as a word for messages: "string", "integer", "float", "Boolean", "date-time".
QMR_RUNTIME_EXPORT const char* fieldTypeName(TFieldType type) noexcept;

/// What defines a field before any row exists: the loaders describe their columns with it.
struct QMR_RUNTIME_EXPORT TFieldDef {
    /// The field's name, Windows-1252, as a filter and fieldByName refer to it.
    AnsiString name;
    /// The type of the values.
    TFieldType type = TFieldType::ftString;
    /// Characters of a string field; 0 for types without a length.
    int size = 0;
    /// Whether a grid shows the field as a column.
    bool visible = true;
    /// Title shown for the field; empty means the field's name.
    AnsiString displayLabel;
};

} // namespace qmr

#pragma once
// What a column's declared SQL type ("VARCHAR(40)", "INTEGER", "DATETIME") makes of a field.

#include <qmr41726/data/store/TFieldDef.h>

#include <optional>
#include <string_view>

namespace qmr {

/// A field type and, for text, the declared length (0 when none is given).
struct DeclaredFieldType {
    TFieldType type;
    int size = 0;
};

/// The field type a declared column type gives, in any letter case: integer, float, Boolean,
/// date-time or text (with its length). Names outside the usual ones follow SQLite's affinity
/// rules; nothing when the name says nothing about the values (empty, BLOB, an unknown word).
std::optional<DeclaredFieldType> fieldTypeOfDeclared(std::string_view declared);

} // namespace qmr

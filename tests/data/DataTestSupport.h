#pragma once
// Helpers shared by the data layer's tests: field definitions and small stores built from tables.

#include <qmr41726/data/store/TColumnStore.h>
#include <qmr41726/rtl/Exception.h>

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

/// A field definition without the noise of designated initialisers.
inline qmr::TFieldDef fieldDef(std::string name, qmr::TFieldType type, int size = 0, bool visible = true) {
    qmr::TFieldDef def;
    def.name = std::move(name);
    def.type = type;
    def.size = size;
    def.visible = visible;
    return def;
}

/// A cell of a table-built store: null, text, integer, float or Boolean.
using Cell = std::variant<std::monostate, std::string, long long, double, bool>;

/// A store from field definitions and rows of cells (a date-time column takes doubles).
inline std::shared_ptr<const qmr::TColumnStore> makeStore(std::vector<qmr::TFieldDef> fields,
                                                          const std::vector<std::vector<Cell>>& rows) {
    qmr::TColumnStoreBuilder builder(fields);
    for (const auto& row : rows) {
        for (size_t c = 0; c < row.size(); ++c) {
            const int column = int(c);
            const Cell& cell = row[c];
            if (std::holds_alternative<std::monostate>(cell))
                builder.appendNull(column);
            else if (auto* s = std::get_if<std::string>(&cell))
                builder.appendString(column, *s);
            else if (auto* i = std::get_if<long long>(&cell))
                builder.appendInteger(column, *i);
            else if (auto* b = std::get_if<bool>(&cell))
                builder.appendBoolean(column, *b);
            else if (fields[c].type == qmr::TFieldType::ftDateTime)
                builder.appendDateTime(column, std::get<double>(cell));
            else
                builder.appendFloat(column, std::get<double>(cell));
        }
        builder.endRow();
    }
    return builder.finish();
}

/// The message of the Exception `action` raises, or "(no error)".
inline std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const qmr::Exception& e) {
        return e.Message();
    }
    return "(no error)";
}

#include <qmr41726/data/load/SqlDeclaredType.h>

#include <qmr41726/data/load/ValueParser.h>
#include <qmr41726/rtl/AnsiString.h>

#include <charconv>

namespace qmr {

namespace {

struct DeclaredType {
    std::string_view name;
    TFieldType type;
};

// Declared type names (upper case, without a length) and the field type each gives.
constexpr DeclaredType kDeclaredTypes[] = {
    {"INTEGER", TFieldType::ftInteger},
    {"INT", TFieldType::ftInteger},
    {"BIGINT", TFieldType::ftInteger},
    {"SMALLINT", TFieldType::ftInteger},
    {"TINYINT", TFieldType::ftInteger},
    {"MEDIUMINT", TFieldType::ftInteger},
    {"REAL", TFieldType::ftFloat},
    {"FLOAT", TFieldType::ftFloat},
    {"DOUBLE", TFieldType::ftFloat},
    {"DOUBLE PRECISION", TFieldType::ftFloat},
    {"NUMERIC", TFieldType::ftFloat},
    {"DECIMAL", TFieldType::ftFloat},
    {"BOOLEAN", TFieldType::ftBoolean},
    {"BOOL", TFieldType::ftBoolean},
    {"DATE", TFieldType::ftDateTime},
    {"DATETIME", TFieldType::ftDateTime},
    {"TIMESTAMP", TFieldType::ftDateTime},
    {"TEXT", TFieldType::ftString},
    {"VARCHAR", TFieldType::ftString},
    {"CHAR", TFieldType::ftString},
    {"CHARACTER", TFieldType::ftString},
    {"NVARCHAR", TFieldType::ftString},
    {"NCHAR", TFieldType::ftString},
    {"VARYING CHARACTER", TFieldType::ftString},
    {"NATIVE CHARACTER", TFieldType::ftString},
    {"CLOB", TFieldType::ftString},
};

// The length in "VARCHAR(40)", or 0 when none is given.
int declaredLength(std::string_view declared) {
    const size_t open = declared.find('(');
    if (open == std::string_view::npos)
        return 0;
    std::string_view inside = trimBlanks(declared.substr(open + 1));
    int length = 0;
    const auto [ptr, ec] = std::from_chars(inside.data(), inside.data() + inside.size(), length);
    return ec == std::errc() && ptr != inside.data() && length > 0 ? length : 0;
}

// Names outside the table follow SQLite's own affinity rules, so that a type like
// "UNSIGNED BIG INT" or "VARCHAR2" still gets the type its values have.
std::optional<TFieldType> typeByAffinity(std::string_view upper) {
    const auto has = [upper](std::string_view part) { return upper.find(part) != std::string_view::npos; };
    if (has("INT"))
        return TFieldType::ftInteger;
    if (has("CHAR") || has("CLOB") || has("TEXT"))
        return TFieldType::ftString;
    if (has("REAL") || has("FLOA") || has("DOUB"))
        return TFieldType::ftFloat;
    return std::nullopt;
}

} // namespace

std::optional<DeclaredFieldType> fieldTypeOfDeclared(std::string_view declared) {
    const AnsiString upper = UpperCase(trimBlanks(declared));
    const std::string_view base = trimBlanks(std::string_view(upper).substr(0, upper.find('(')));
    std::optional<TFieldType> type;
    for (const DeclaredType& entry : kDeclaredTypes) {
        if (base == entry.name)
            type = entry.type;
    }
    if (!type)
        type = typeByAffinity(base);
    if (!type)
        return std::nullopt;
    return DeclaredFieldType{*type, *type == TFieldType::ftString ? declaredLength(upper) : 0};
}

} // namespace qmr

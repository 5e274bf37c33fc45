#include <qmr41726/data/load/CsvHeader.h>

#include <qmr41726/data/load/ValueParser.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>

#include <charconv>
#include <unordered_set>

namespace qmr {

namespace {

// The largest size a string column may declare; it keeps a typo like string(400000000) from
// being taken at its word.
constexpr int kMaxStringSize = 65535;

// The longest header entry (name, type and flags); far past any real name, it keeps a file whose
// first line is one huge field from becoming a field name copied through every later step.
constexpr size_t kMaxHeaderEntry = 1024;

struct TypeName {
    std::string_view name;
    TFieldType type;
};

// Type names without a size, as written in a header (any letter case).
constexpr TypeName kTypeNames[] = {
    {"integer", TFieldType::ftInteger}, {"float", TFieldType::ftFloat},
    {"boolean", TFieldType::ftBoolean}, {"datetime", TFieldType::ftDateTime},
    {"string", TFieldType::ftString},
};

struct HeaderError {
    std::string what;
};

// Applies one `:word` after the name: a type, or the `hidden` flag.
void applyQualifier(std::string_view word, TFieldDef& field, bool& typed) {
    const AnsiString lower = LowerCase(trimBlanks(word));
    if (lower == "hidden") {
        field.visible = false;
        return;
    }
    if (typed)
        throw HeaderError{"the field has two types (" + quotedExcerpt(word) + ")"};
    typed = true;
    for (const TypeName& entry : kTypeNames) {
        if (lower == entry.name) {
            field.type = entry.type;
            return;
        }
    }
    const std::string_view prefix = "string(";
    if (lower.size() <= prefix.size() + 1 || lower.compare(0, prefix.size(), prefix) != 0 ||
        lower.back() != ')')
        throw HeaderError{"unknown type " + quotedExcerpt(word) +
                          " (integer, float, boolean, datetime, string or string(n))"};
    const char* first = lower.data() + prefix.size();
    const char* last = lower.data() + lower.size() - 1;
    int size = 0;
    const auto [ptr, ec] = std::from_chars(first, last, size);
    if (ec != std::errc() || ptr != last || size < 1 || size > kMaxStringSize)
        throw HeaderError{"the size in " + quotedExcerpt(word) + " must be a whole number from 1 to " +
                          std::to_string(kMaxStringSize)};
    field.type = TFieldType::ftString;
    field.size = size;
}

TFieldDef parseEntry(std::string_view entry) {
    TFieldDef field;
    size_t colon = entry.find(':');
    field.name = AnsiString(trimBlanks(entry.substr(0, colon)));
    if (field.name.empty())
        throw HeaderError{"a field without a name"};
    bool typed = false;
    while (colon != std::string_view::npos) {
        entry.remove_prefix(colon + 1);
        colon = entry.find(':');
        applyQualifier(entry.substr(0, colon), field, typed);
    }
    return field;
}

AnsiString toAnsi(std::string_view utf8) {
    try {
        return utf8ToAnsi(utf8);
    } catch (const EConvertError& error) {
        throw HeaderError{error.Message()};
    }
}

} // namespace

// Names are compared with a-z folded, through a set so that a wide header costs one lookup per
// column.
std::vector<TFieldDef> parseCsvHeader(const std::vector<CsvField>& entries, const std::string& sourceName) {
    std::vector<TFieldDef> fields;
    std::unordered_set<AnsiString> names;
    for (size_t i = 0; i < entries.size(); ++i) {
        const int columnNumber = int(i) + 1;
        try {
            if (entries[i].text.size() > kMaxHeaderEntry)
                throw HeaderError{"the entry has " + std::to_string(entries[i].text.size()) +
                                  " bytes, more than " + std::to_string(kMaxHeaderEntry)};
            TFieldDef field = parseEntry(toAnsi(entries[i].text));
            if (!names.insert(UpperCase(field.name)).second)
                throw HeaderError{"the field name " + quotedExcerpt(field.name) + " appears twice"};
            fields.push_back(std::move(field));
        } catch (const HeaderError& error) {
            throwCsvError(sourceName, entries[i].line, columnNumber, "header: " + error.what);
        }
    }
    return fields;
}

} // namespace qmr

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
void applyQualifier(std::string_view word, CsvColumn& column, bool& typed) {
    const AnsiString lower = LowerCase(trimBlanks(word));
    if (lower == "hidden") {
        column.def.visible = false;
        return;
    }
    if (typed)
        throw HeaderError{"the field has two types (" + quotedExcerpt(word) + ")"};
    typed = true;
    for (const TypeName& entry : kTypeNames) {
        if (lower == entry.name) {
            column.def.type = entry.type;
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
    column.def.type = TFieldType::ftString;
    column.def.size = size;
    column.sizedByData = false;
}

CsvColumn parseEntry(std::string_view entry) {
    CsvColumn column;
    column.sizedByData = true;
    size_t colon = entry.find(':');
    column.def.name = AnsiString(trimBlanks(entry.substr(0, colon)));
    if (column.def.name.empty())
        throw HeaderError{"a field without a name"};
    bool typed = false;
    while (colon != std::string_view::npos) {
        entry.remove_prefix(colon + 1);
        colon = entry.find(':');
        applyQualifier(entry.substr(0, colon), column, typed);
    }
    if (column.def.type != TFieldType::ftString)
        column.sizedByData = false;
    return column;
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
std::vector<CsvColumn> parseCsvHeader(const std::vector<CsvField>& entries, const std::string& sourceName) {
    std::vector<CsvColumn> columns;
    std::unordered_set<AnsiString> names;
    for (size_t i = 0; i < entries.size(); ++i) {
        const int columnNumber = int(i) + 1;
        try {
            if (entries[i].text.size() > kMaxHeaderEntry)
                throw HeaderError{"the entry has " + std::to_string(entries[i].text.size()) +
                                  " bytes, more than " + std::to_string(kMaxHeaderEntry)};
            CsvColumn column = parseEntry(toAnsi(entries[i].text));
            if (!names.insert(UpperCase(column.def.name)).second)
                throw HeaderError{"the field name " + quotedExcerpt(column.def.name) + " appears twice"};
            columns.push_back(std::move(column));
        } catch (const HeaderError& error) {
            throwCsvError(sourceName, entries[i].line, columnNumber, "header: " + error.what);
        }
    }
    return columns;
}

} // namespace qmr

#include "CsvWriter.h"

namespace {

bool needsQuotes(std::string_view field) {
    return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

bool isAsciiUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

// In UTF-8 the capitals À (C3 80) to Þ (C3 9E), except × (C3 97), become their small letters by
// adding 0x20 to the second byte.
bool isLatinUpperTail(unsigned char lead, unsigned char tail) {
    return lead == 0xC3 && tail >= 0x80 && tail <= 0x9E && tail != 0x97;
}

// Short words that stay small inside a name written in title case ("Maria da Silva").
bool isConnective(std::string_view word) {
    static constexpr std::string_view kWords[] = {"DE", "DA", "DO", "DAS", "DOS", "E", "C/", "S/", "EM"};
    for (std::string_view connective : kWords) {
        if (word == connective)
            return true;
    }
    return false;
}

// The word in small letters, keeping its first letter when asked.
std::string lowered(std::string_view word, bool keepInitial) {
    std::string out(word);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        const bool first = i == 0;
        if (isAsciiUpper(char(c))) {
            if (!(first && keepInitial))
                out[i] = char(c + 0x20);
        } else if (i + 1 < out.size() && isLatinUpperTail(c, static_cast<unsigned char>(out[i + 1]))) {
            if (!(first && keepInitial))
                out[i + 1] = char(static_cast<unsigned char>(out[i + 1]) + 0x20);
            ++i;
        }
    }
    return out;
}

} // namespace

void writeCsvRow(std::ostream& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out << ',';
        if (!needsQuotes(fields[i])) {
            out << fields[i];
            continue;
        }
        out << '"';
        for (char c : fields[i])
            out << (c == '"' ? "\"\"" : std::string(1, c));
        out << '"';
    }
    out << '\n';
}

std::string centsText(long long cents) {
    const long long fraction = cents % 100;
    return std::to_string(cents / 100) + (fraction < 10 ? ".0" : ".") + std::to_string(fraction);
}

std::string withCase(std::string_view upper, LetterCase letterCase) {
    if (letterCase == LetterCase::Upper)
        return std::string(upper);
    std::string out;
    std::size_t start = 0;
    while (start <= upper.size()) {
        std::size_t end = upper.find(' ', start);
        if (end == std::string_view::npos)
            end = upper.size();
        const std::string_view word = upper.substr(start, end - start);
        const bool keepInitial = letterCase == LetterCase::Title && !isConnective(word);
        out += lowered(word, keepInitial);
        if (end < upper.size())
            out += ' ';
        start = end + 1;
    }
    return out;
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

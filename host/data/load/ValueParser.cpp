#include <qmr41726/data/load/ValueParser.h>

#include <qmr41726/data/store/ValueText.h>
#include <qmr41726/rtl/AnsiString.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <system_error>

namespace qmr {

namespace {

bool isBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = (a[i] >= 'A' && a[i] <= 'Z') ? char(a[i] - 'A' + 'a') : a[i];
        if (x != b[i])
            return false;
    }
    return true;
}

// Whether every byte is 7-bit ASCII, the same in UTF-8 and Windows-1252.
bool isAscii(std::string_view text) noexcept {
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080ull)
            return false;
    }
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

std::string_view trimBlanks(std::string_view text) noexcept {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

const char* parseInteger(std::string_view text, std::int64_t& value) {
    text = trimBlanks(text);
    if (text.size() > 1 && text[0] == '+' && isDigit(text[1]))
        text.remove_prefix(1);
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range)
        return "is out of the range of an integer";
    if (ec != std::errc() || ptr != end || text.empty())
        return "is not a whole number";
    return nullptr;
}

const char* parseFloat(std::string_view text, double& value) {
    text = trimBlanks(text);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-')
        text.remove_prefix(1);
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range)
        return "is out of the range of a floating-point number";
    if (ec != std::errc() || ptr != end || text.empty() || !std::isfinite(value))
        return "is not a number";
    return nullptr;
}

const char* parseBoolean(std::string_view text, bool& value) {
    // Words for true and false, in pairs; hosts write them in English or Portuguese.
    static constexpr std::string_view kWords[][2] = {
        {"true", "false"}, {"t", "f"},        {"yes", "no"},     {"y", "n"}, {"s", "n"},
        {"sim", "nao"},    {"sim", "n\xE3o"}, {"sim", "n\xC3o"}, {"1", "0"},
    };
    text = trimBlanks(text);
    for (const auto& pair : kWords) {
        if (equalsIgnoringCase(text, pair[0]) || equalsIgnoringCase(text, pair[1])) {
            value = equalsIgnoringCase(text, pair[0]);
            return nullptr;
        }
    }
    return "is not a Boolean (true or false)";
}

const char* parseDateTime(std::string_view text, double& value) {
    text = trimBlanks(text);
    // ISO 8601 also separates the time with a 'T'; the date reader expects a space there.
    char spaced[32];
    if (text.size() > 10 && text.size() < sizeof spaced && text[10] == 'T') {
        text.copy(spaced, text.size());
        spaced[10] = ' ';
        text = std::string_view(spaced, text.size());
    }
    const std::optional<double> parsed = parseDateTimeText(text);
    if (!parsed)
        return "is not a date-time (yyyy-mm-dd or yyyy-mm-dd hh:mm:ss)";
    value = *parsed;
    return nullptr;
}

std::string_view utf8AsAnsi(std::string_view utf8, std::string& out) {
    if (isAscii(utf8))
        return utf8;
    out.resize(utf8.size());
    char* write = out.data();
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            *write++ = char(lead);
            continue;
        }
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0u;
        // U+00A0 to U+00FF are the same bytes in Windows-1252; U+0080 to U+009F mostly are not.
        const bool latin1 =
            (lead == 0xC2 && next >= 0xA0 && next <= 0xBF) || (lead == 0xC3 && (next & 0xC0) == 0x80);
        if (!latin1) {
            out = utf8ToAnsi(utf8);
            return out;
        }
        *write++ = char(((lead & 0x03) << 6) | (next & 0x3F));
        ++i;
    }
    out.resize(std::size_t(write - out.data()));
    return out;
}

} // namespace qmr

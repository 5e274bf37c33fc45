#include <qmr41726/rtl/AnsiString.h>

#include <qmr41726/rtl/Exception.h>

#include <array>
#include <cstdio>

namespace qmr {

namespace {

// Code points of the bytes 0x80 to 0x9F, where Windows-1252 differs from Latin-1. The five
// bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their C1 value, as
// Windows converts them, so that every byte survives a round trip.
//
// The table is the runtime's own rather than Qt's: this layer does not link Qt, and Qt's
// QStringEncoder("windows-1252"), where Qt is built with ICU, puts a substitute byte in place of
// a character it cannot encode and says neither which character it was nor where.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Raises the conversion error of text that cannot be converted, `place` saying where it went wrong.
[[noreturn]] void badText(const std::string& place, std::string_view why) {
    throw EConvertError("Invalid text at " + place + ": " + std::string(why));
}

[[noreturn]] void badUtf8(size_t offset, std::string_view why) {
    badText("byte " + std::to_string(offset), why);
}

// Why a character cannot be converted: the code page has no byte for it.
std::string unmapped(char32_t codePoint) {
    char hex[16];
    snprintf(hex, sizeof hex, "U+%04X", unsigned(codePoint));
    return std::string("character ") + hex + " has no Windows-1252 equivalent";
}

// Decodes one UTF-8 sequence at `pos`, advancing it; raises on a malformed sequence.
char32_t decodeUtf8(std::string_view text, size_t& pos) {
    const size_t start = pos;
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;
    int extra = 0;
    char32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        badUtf8(start, "not UTF-8");
    }
    for (int i = 0; i < extra; ++i) {
        if (pos >= text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80)
            badUtf8(start, "truncated UTF-8 sequence");
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        badUtf8(start, "invalid UTF-8 sequence");
    return cp;
}

} // namespace

AnsiString UpperCase(std::string_view text) {
    AnsiString out(text);
    for (char& c : out)
        c = upperAnsi(c);
    return out;
}

AnsiString LowerCase(std::string_view text) {
    AnsiString out(text);
    for (char& c : out)
        c = lowerAnsi(c);
    return out;
}

char32_t ansiToCodePoint(unsigned char byte) noexcept {
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

int codePointToAnsi(char32_t codePoint) noexcept {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return int(codePoint);
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint)
            return int(0x80 + i);
    }
    return -1;
}

std::string ansiToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text)
        appendUtf8(out, ansiToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

AnsiString utf8ToAnsi(std::string_view text) {
    AnsiString out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t start = pos;
        const char32_t cp = decodeUtf8(text, pos);
        const int byte = codePointToAnsi(cp);
        if (byte < 0)
            badUtf8(start, unmapped(cp));
        out += char(byte);
    }
    return out;
}

AnsiString codePointsToAnsi(std::u32string_view text) {
    AnsiString out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const int byte = codePointToAnsi(text[i]);
        if (byte < 0)
            badText("character " + std::to_string(i), unmapped(text[i]));
        out += char(byte);
    }
    return out;
}

} // namespace qmr

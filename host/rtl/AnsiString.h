#pragma once
// Strings of the system: Windows-1252 byte strings. Conversion to and from UTF-8 happens only at
// the edges (widgets, loaders, the host application's output).

#include <qmr41726/QmrRuntimeExport.h>
#include <string>
#include <string_view>

namespace qmr {

/// A Windows-1252 byte string.
using AnsiString = std::string;

/// The byte upper-cased: only a-z change; every other byte (ç and accented letters too) stays.
constexpr char upperAnsi(char c) noexcept {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}
/// The byte lower-cased: only A-Z change.
constexpr char lowerAnsi(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

/// The text with a-z upper-cased and every other byte unchanged.
QMR_RUNTIME_EXPORT AnsiString UpperCase(std::string_view text);
/// The text with A-Z lower-cased and every other byte unchanged.
QMR_RUNTIME_EXPORT AnsiString LowerCase(std::string_view text);

/// The Windows-1252 text as UTF-8. Every one of the 256 bytes has a UTF-8 form (the five bytes
/// the code page leaves undefined map to the C1 control characters of the same value).
QMR_RUNTIME_EXPORT std::string ansiToUtf8(std::string_view text);

/// The UTF-8 text as Windows-1252. Raises EConvertError naming the byte offset when the text is
/// not valid UTF-8 or holds a character that Windows-1252 has no byte for.
QMR_RUNTIME_EXPORT AnsiString utf8ToAnsi(std::string_view text);

/// The Unicode code point of one Windows-1252 byte.
QMR_RUNTIME_EXPORT char32_t ansiToCodePoint(unsigned char byte) noexcept;
/// The Windows-1252 byte of a code point, or -1 when the code page has none.
QMR_RUNTIME_EXPORT int codePointToAnsi(char32_t codePoint) noexcept;

} // namespace qmr

#pragma once
// Strings of the system: Windows-1252 byte strings. Conversion to and from UTF-8 happens only at
// the edges (widgets, loaders, the host application's output), through the functions below;
// <qmr41726/ui/QtText.h> does the same for QString.

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

/// The Windows-1252 text as UTF-8, for a terminal, a file or a library that speaks UTF-8. Never
/// fails: every one of the 256 bytes has a UTF-8 form. The five bytes the code page leaves
/// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control characters of the same value,
/// U+0081 to U+009D, as Windows itself converts them, so that they come back unchanged.
QMR_RUNTIME_EXPORT std::string ansiToUtf8(std::string_view text);

/// The UTF-8 text as Windows-1252, for a data set's values, a filter or a flag built from UTF-8
/// strings. Raises EConvertError when the text is not valid UTF-8 (the message names the byte
/// offset of the bad sequence) or holds a character the code page has no byte for (the message
/// names the character as U+XXXX and the byte offset it starts at). Nothing is dropped or replaced.
QMR_RUNTIME_EXPORT AnsiString utf8ToAnsi(std::string_view text);

/// The Unicode text (one code point a character) as Windows-1252. Raises EConvertError naming the
/// character as U+XXXX and its index in `text` when the code page has no byte for it.
QMR_RUNTIME_EXPORT AnsiString codePointsToAnsi(std::u32string_view text);

/// The Unicode code point of one Windows-1252 byte (the undefined bytes as in ansiToUtf8).
QMR_RUNTIME_EXPORT char32_t ansiToCodePoint(unsigned char byte) noexcept;
/// The Windows-1252 byte of a code point, or -1 when the code page has none.
QMR_RUNTIME_EXPORT int codePointToAnsi(char32_t codePoint) noexcept;

} // namespace qmr

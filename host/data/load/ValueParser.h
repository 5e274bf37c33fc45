#pragma once
// Typed values read from text, shared by the loaders. Each parser accepts one plain form,
// ignores spaces around it, and says in words why it refused anything else.

#include <cstdint>
#include <string>
#include <string_view>

namespace qmr {

/// A whole number in the range of a 64-bit integer, with an optional sign. Returns nullptr on
/// success, otherwise the reason ("is not a whole number", ...), meant to follow the quoted value.
const char* parseInteger(std::string_view text, std::int64_t& value);

/// A finite decimal number with an optional exponent ("12.5", "-3", "1e6"). A comma is not a
/// decimal separator: "12,5" is refused. Returns nullptr on success, otherwise the reason.
const char* parseFloat(std::string_view text, double& value);

/// true/false, t/f, yes/no, y/n, s/n, sim/não or 1/0, with a-z in any case (Windows-1252 text). Returns
/// nullptr on success, otherwise the reason.
const char* parseBoolean(std::string_view text, bool& value);

/// An ISO 8601 date with an optional time, `yyyy-mm-dd[ hh:mm[:ss]]` (a `T` may separate them;
/// `dd/mm/yyyy` is read too), as days since 1899-12-30 with the time of day as the fraction.
/// Returns nullptr on success, otherwise the reason.
const char* parseDateTime(std::string_view text, double& value);

/// `text` without the spaces and tabs around it.
std::string_view trimBlanks(std::string_view text) noexcept;

/// The UTF-8 text as Windows-1252: the text itself when it is plain ASCII, otherwise its
/// conversion written into `buffer` (whose memory is reused). Latin-1 letters take a fast path;
/// anything else goes through utf8ToAnsi, which raises EConvertError for text the code page
/// cannot hold.
std::string_view utf8AsAnsi(std::string_view utf8, std::string& buffer);

} // namespace qmr

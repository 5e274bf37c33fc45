#pragma once
// Input quoted in error messages.

#include <string>
#include <string_view>

namespace qmr {

/// How the bytes of a text are to be read.
enum class TextEncoding { Ansi, Utf8 };

/// `text` in single quotes for an error message: at most its first 40 bytes (cut on a character
/// boundary, then "..."), with every control byte written as \xNN (in Windows-1252 text also the
/// five bytes the code page leaves undefined, which become C1 controls), so that a message stays
/// short and nothing from the input reaches the terminal as a command.
std::string quotedExcerpt(std::string_view text, TextEncoding encoding = TextEncoding::Ansi);

} // namespace qmr

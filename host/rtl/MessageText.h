#pragma once
// Input quoted in error messages.

#include <cstddef>
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

/// Bytes of a file path a message shows: room for any real path, not for a 2 MB one.
constexpr std::size_t kPathExcerptBytes = 200;
/// Bytes of a field's or column's name a message shows.
constexpr std::size_t kNameExcerptBytes = 64;
/// Bytes of another program's words a message shows: a database server's error or notice, the
/// dynamic loader's error. Enough for any real one; a server function can raise megabytes.
constexpr std::size_t kForeignTextExcerptBytes = 1000;

/// A name for an error message as quotedExcerpt gives it but without the quotes and cut after
/// `maxBytes`: a file path (kPathExcerptBytes) or a field's name, shown bare as messages always have.
std::string nameExcerpt(std::string_view name, std::size_t maxBytes,
                        TextEncoding encoding = TextEncoding::Ansi);

} // namespace qmr

#pragma once
// The filter language's tokens: what the parser reads instead of characters.

#include <qmr41726/rtl/AnsiString.h>

#include <memory>
#include <string_view>
#include <vector>

namespace qmr {

/// The kinds of token the filter language has.
enum class FilterTokenKind {
    Name,       // a field name, bare or in [brackets]
    String,     // 'text', with '' standing for one quote
    Number,     // 12 or 12.5
    Keyword,    // AND OR NOT LIKE IS NULL IN TRUE FALSE UPPER LOWER, in any case
    Operator,   // = <> < > <= >=
    OpenParen,  // (
    CloseParen, // )
    Comma,      // ,
    Minus,      // - before a number
    End,        // after the last character
};

/// One token: its kind, its text (keywords upper-cased, strings unquoted) and where it starts.
struct FilterToken {
    FilterTokenKind kind = FilterTokenKind::End;
    AnsiString text;
    /// Position of the token's first character, from 1.
    int position = 0;

    bool isKeyword(std::string_view word) const { return kind == FilterTokenKind::Keyword && text == word; }
};

/// Reads a filter text's tokens one at a time, so that a parser refusing a filter at a bound has
/// not read, nor held, the rest of a text that may be many megabytes long.
class FilterTokenReader {
public:
    /// Reads `text`; each token's position counts `positionOffset` characters before the text.
    explicit FilterTokenReader(std::string_view text, int positionOffset = 0);
    ~FilterTokenReader();
    FilterTokenReader(const FilterTokenReader&) = delete;
    FilterTokenReader& operator=(const FilterTokenReader&) = delete;

    /// The next token; End, again and again, after the last. Raises the errors tokenizeFilter does.
    FilterToken next();

private:
    class Lexer;
    std::unique_ptr<Lexer> m_lexer;
    int m_offset;
};

/// Splits a filter text into tokens; raises EDatabaseError naming the position of a character that
/// starts no token or of a string that never ends.
std::vector<FilterToken> tokenizeFilter(std::string_view text);

/// Whether `c` separates tokens without being one (space, tab, line breaks).
bool isFilterBlank(char c);

/// Whether `name` is read as exactly one field name without brackets: a letter (or '_', or a
/// byte from 0x80) first, then letters and digits, and no keyword.
bool isBareFilterName(std::string_view name);

/// Whether the whole of `text` is one parenthesised group: its first token opens a parenthesis
/// that its last token closes. Such a text binds as one term under an appended AND.
bool isOneFilterGroup(std::string_view text);

/// Raises the filter language's error: "Filter error at position N: what".
[[noreturn]] void throwFilterError(int position, const std::string& what);

} // namespace qmr

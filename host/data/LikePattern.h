#pragma once
// LIKE patterns: '%' matches any run of characters (none included), '_' exactly one; every other
// byte, '\' included, matches itself. There is no escape character, so a pattern cannot ask for
// a literal '%' or '_'. Matching is by bytes and case-sensitive; a fold (UPPER or LOWER of the
// tested value) is applied to the tested bytes on the fly.

#include "host/rtl/AnsiString.h"

#include <string_view>

namespace qmr {

/// How the tested text is cased before matching: as stored, UPPER( ) or LOWER( ).
enum class TextFold { None, Upper, Lower };

/// The byte after a fold: only a-z or A-Z change.
constexpr char foldByte(char c, TextFold fold) noexcept {
    return fold == TextFold::Upper ? upperAnsi(c) : fold == TextFold::Lower ? lowerAnsi(c) : c;
}

/// A compiled LIKE pattern.
class LikePattern {
public:
    /// The shapes a pattern can take; the common ones match without the general algorithm.
    enum class Shape {
        Exact,    // no wildcard: the whole text equals the pattern
        Prefix,   // abc%: the text starts with abc
        Contains, // %abc%
        Suffix,   // %abc
        General,  // anything else
    };

    explicit LikePattern(AnsiString pattern);

    /// Whether `text`, folded, matches.
    bool matches(std::string_view text, TextFold fold) const noexcept;

    Shape shape() const noexcept { return m_shape; }
    const AnsiString& pattern() const noexcept { return m_pattern; }
    /// The bytes before the first wildcard: every match starts with them.
    std::string_view literalPrefix() const noexcept;

private:
    bool matchesGeneral(std::string_view text, TextFold fold) const noexcept;

    AnsiString m_pattern;
    /// The literal part for the simple shapes (abc in abc%, %abc%, %abc).
    AnsiString m_literal;
    Shape m_shape = Shape::General;
};

} // namespace qmr

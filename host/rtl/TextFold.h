#pragma once
// Text compared as if cased: what UPPER( ) and LOWER( ) do to the bytes a filter tests, applied
// on the fly so that no folded copy of a column is ever made.

#include <qmr41726/rtl/AnsiString.h>

namespace qmr {

/// How the tested text is cased before matching: as stored, UPPER( ) or LOWER( ).
enum class TextFold { None, Upper, Lower };

/// The byte after a fold: only a-z or A-Z change.
constexpr char foldByte(char c, TextFold fold) noexcept {
    return fold == TextFold::Upper ? upperAnsi(c) : fold == TextFold::Lower ? lowerAnsi(c) : c;
}

} // namespace qmr

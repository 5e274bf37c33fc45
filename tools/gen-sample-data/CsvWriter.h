#pragma once
// Writing CSV rows: fields joined by commas, quoted only when they must be.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

/// Writes one CSV line (LF-terminated), quoting fields that hold a comma, a quote or a line break.
void writeCsvRow(std::ostream& out, const std::vector<std::string>& fields);

/// A price in cents as text with two decimals ("12.90"), without locale or floating point.
std::string centsText(long long cents);

/// Letter case of generated text (UTF-8, Portuguese letters included).
enum class LetterCase { Upper, Title, Lower };

/// The upper-case UTF-8 text in another case; accented capitals of Latin-1 (À to Þ) change too.
std::string withCase(std::string_view upper, LetterCase letterCase);

/// The number of characters in UTF-8 text.
std::size_t characterCount(std::string_view utf8);

#pragma once
// How stored values read as text, and how text literals read as values: one place, so that the
// grid and the filter language agree.

#include <qmr41726/rtl/AnsiString.h>

#include <optional>
#include <string_view>

namespace qmr {

/// A float as the grid shows it: up to 15 significant digits, '.' as the decimal point, no
/// trailing zeros ("12.5", "3", "0.1").
AnsiString floatText(double value);

/// A date-time (days since 1899-12-30, the fraction being the time of day) as "dd/mm/yyyy hh:nn:ss",
/// or "dd/mm/yyyy" when the time rounds to midnight.
AnsiString dateTimeText(double value);

/// The date-time a text spells: "dd/mm/yyyy" or "yyyy-mm-dd", optionally followed by a space and
/// "hh:nn" or "hh:nn:ss"; nothing when the text is not such a date or names an impossible day.
std::optional<double> parseDateTimeText(std::string_view text);

/// The number a whole text spells (optional sign, digits, optional fraction), or nothing.
std::optional<double> parseNumberText(std::string_view text);

} // namespace qmr

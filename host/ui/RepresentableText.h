#pragma once
// Text from Qt that the system takes as it comes, keeping what its code page can hold.

#include <qmr41726/rtl/AnsiString.h>

#include <QString>

namespace qmr {

/// The text as Windows-1252 with every character the code page has no byte for left out. For
/// text no one can be asked to correct: what a person types or pastes into a box (an error
/// half-way through a word helps no one, and what the system cannot hold it cannot search for
/// either) and a translation read from a catalogue. Input a host hands over goes through
/// fromQString, which refuses such a character instead.
AnsiString representableAnsi(const QString& text);

} // namespace qmr

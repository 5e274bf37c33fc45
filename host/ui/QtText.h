#pragma once
// Text at the Qt edge: the system's Windows-1252 strings to and from QString.

#include <qmr41726/rtl/AnsiString.h>

#include <QString>

namespace qmr {

/// The Windows-1252 text as a QString.
QString toQString(std::string_view text);
/// The QString as Windows-1252; characters the code page has no byte for are left out, since a
/// widget may hold text (pasted, typed) that the system cannot represent.
AnsiString fromQString(const QString& text);

} // namespace qmr

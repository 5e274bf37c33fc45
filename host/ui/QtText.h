#pragma once
// Text at the Qt edge: the system's Windows-1252 strings to and from QString.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/rtl/AnsiString.h>

#include <QString>

namespace qmr {

/// The Windows-1252 text as a QString, for a widget, a log line or a message box. Never fails;
/// the five bytes the code page leaves undefined become the C1 controls U+0081 to U+009D, as in
/// ansiToUtf8.
QMR_RUNTIME_EXPORT QString toQString(std::string_view text);

/// The QString as Windows-1252, for a data set's values, a filter or a flag a host holds as
/// QString. Raises EConvertError naming the character as U+XXXX and its index (counted in
/// characters, not UTF-16 units, from 0) when the code page has no byte for it; a lone surrogate
/// is named as U+FFFD. Nothing is dropped or replaced.
QMR_RUNTIME_EXPORT AnsiString fromQString(const QString& text);

} // namespace qmr

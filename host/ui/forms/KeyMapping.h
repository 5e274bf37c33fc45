#pragma once
// Physical keys as the system's key handlers know them: Qt key events turned into Windows
// virtual key codes, modifier sets and Windows-1252 characters.

#include <qmr41726/ui/Types.h>

#include <QKeyEvent>

namespace qmr {

/// The Windows virtual key code of the key in `event`, or 0 for a key that has none.
WORD virtualKeyOf(const QKeyEvent& event);
/// The held Shift, Alt and Ctrl of `modifiers`.
TShiftState shiftStateOf(Qt::KeyboardModifiers modifiers);
/// The modifiers held with the key of `event`. A modifier key counts as held on its own
/// key-down, whatever the platform reported from before the press.
TShiftState shiftStateOf(const QKeyEvent& event);
/// The characters the key types, one Windows-1252 byte each. Characters without a byte in the
/// code page are left out; of the control characters only Backspace (8), Enter (13) and Esc (27)
/// are kept. Keys held with Ctrl or Alt alone type nothing, as menu and editing shortcuts do not;
/// Ctrl with Alt (AltGr) types.
AnsiString charactersOf(const QKeyEvent& event);

} // namespace qmr

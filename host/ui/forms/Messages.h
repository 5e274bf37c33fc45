#pragma once
// Window messages to forms, as the screen sends and posts them.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/ui/forms/TForm.h>

#include <cstdint>

namespace qmr {

/// The types of the window message API, as Windows names them.
///@{
using UINT = unsigned;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using BOOL = bool;
///@}

/// Asks the form to close, as TForm::close does: runs OnClose, then ends its modal loop.
constexpr UINT WM_CLOSE = 0x0010;
/// A key went down: wParam is the virtual key (VK_RETURN, VK_DELETE...).
constexpr UINT WM_KEYDOWN = 0x0100;
/// A character was typed: wParam is its Windows-1252 byte.
constexpr UINT WM_CHAR = 0x0102;

/// Delivers a message to the form now and returns when its handler has finished: WM_CHAR runs
/// the form's key-press handler with the byte in wParam, WM_KEYDOWN its key-down handler with the
/// virtual key in wParam (no modifiers), WM_CLOSE closes it. An exception of the handler goes to
/// the application's error handler. An unknown handle returns 0 and does nothing.
QMR_RUNTIME_EXPORT LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
/// Queues the message; it is handled when control returns to the event loop, and dropped if the
/// form has been freed by then. False for an unknown handle.
QMR_RUNTIME_EXPORT BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace qmr

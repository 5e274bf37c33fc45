#pragma once
// The search screen's layout tables and colours. They know nothing of the form's class: the build
// runs them in formgen to declare the class's component fields and handlers, and the form loads
// itself from them.

#include <qmr41726/ui/Types.h>
#include <qmr41726/ui/forms/Layout.h>

#include <string_view>
#include <vector>

// The screen's own colours (0x00BBGGRR), shared by its layout tables.
/// Pale green: the plates and the key faces.
constexpr qmr::TColor clPaleGreen = 0xC0FAD8;
/// Light green: the faces of the row buttons.
constexpr qmr::TColor clLightGreen = 0x6CD9A8;
/// Greyish cyan: the face of a disabled key.
constexpr qmr::TColor clDisabledKey = 0xE7E7CF;

/// The layout of the search screen, keyboard included, in creation order.
const qmr::TLayout& layoutPesquisa();
/// The names of the search screen's components in the order the form's class declares their
/// fields, which differs from the creation order.
std::vector<std::string_view> fieldOrderPesquisa();
/// The rows of the on-screen keyboard's keys, in creation order (keyboard/KeyLayout.cpp).
std::vector<qmr::TLayoutComponent> keyboardLayout();

// The on-screen keyboard's 49 keys as layout rows, in the order the form creates (and paints)
// them. Every key is a pale green rounded plate without outline; what differs per key is in the
// table below.

#include "screen/ScreenLayout.h"

using namespace qmr;

namespace {

/// What sets one key apart from the others.
struct KeySpec {
    std::string_view name;
    std::string_view className;
    int tag;             // the character typed (a letter's capital) or the virtual key; 0: none
    const char* caption; // at creation; nullptr for keys without one
    int left, top, width, height;
    std::string_view handler;
    bool smallBoldFont; // Shift, Caps Lock and Backspace carry longer words
    const char* glyph;  // a bitmap resource, for the keys that show one
};

constexpr std::string_view kButton = "TBlendedButton";
constexpr std::string_view kBitBtn = "TBlendedBitBtn";
constexpr std::string_view kChar = "sbt1Click";

// Creation order, not screen order: rows 1 and 2, then the rest of the letters and signs, then
// the wide keys. Standard keys are 51 x 44 on rows at 313, 357, 401, 445 and 489.
constexpr KeySpec kKeys[] = {
    {"sbt1", kButton, 49, "1", 24, 313, 51, 44, kChar, false, nullptr},
    {"sbt2", kButton, 50, "2", 75, 313, 51, 44, kChar, false, nullptr},
    {"sbt3", kButton, 51, "3", 126, 313, 51, 44, kChar, false, nullptr},
    {"sbt4", kButton, 52, "4", 177, 313, 51, 44, kChar, false, nullptr},
    {"sbt5", kButton, 53, "5", 228, 313, 51, 44, kChar, false, nullptr},
    {"sbt6", kButton, 54, "6", 279, 313, 51, 44, kChar, false, nullptr},
    {"sbt7", kButton, 55, "7", 330, 313, 51, 44, kChar, false, nullptr},
    {"sbt8", kButton, 56, "8", 381, 313, 51, 44, kChar, false, nullptr},
    {"sbt9", kButton, 57, "9", 432, 313, 51, 44, kChar, false, nullptr},
    {"sbt0", kButton, 48, "0", 483, 313, 51, 44, kChar, false, nullptr},
    {"sbtQ", kButton, 81, "q", 24, 357, 51, 44, kChar, false, nullptr},
    {"sbtW", kButton, 87, "w", 75, 357, 51, 44, kChar, false, nullptr},
    {"sbtE", kButton, 69, "e", 126, 357, 51, 44, kChar, false, nullptr},
    {"sbtR", kButton, 82, "r", 177, 357, 51, 44, kChar, false, nullptr},
    {"sbtT", kButton, 84, "t", 228, 357, 51, 44, kChar, false, nullptr},
    {"sbtY", kButton, 89, "y", 279, 357, 51, 44, kChar, false, nullptr},
    {"sbtU", kButton, 85, "u", 330, 357, 51, 44, kChar, false, nullptr},
    {"sbtI", kButton, 73, "i", 381, 357, 51, 44, kChar, false, nullptr},
    {"sbtO", kButton, 79, "o", 432, 357, 51, 44, kChar, false, nullptr},
    {"sbtP", kButton, 80, "p", 483, 357, 51, 44, kChar, false, nullptr},
    {"sbtL", kButton, 76, "l", 432, 401, 51, 44, kChar, false, nullptr},
    {"sbtK", kButton, 75, "k", 381, 401, 51, 44, kChar, false, nullptr},
    {"sbtVirgula", kButton, 44, ",", 381, 445, 51, 44, kChar, false, nullptr},
    {"sbtPonto", kButton, 46, ".", 432, 445, 51, 44, kChar, false, nullptr},
    {"sbtBarra", kButton, 47, "/", 483, 445, 51, 44, kChar, false, nullptr},
    {"sbtM", kButton, 77, "m", 330, 445, 51, 44, kChar, false, nullptr},
    {"sbtJ", kButton, 74, "j", 330, 401, 51, 44, kChar, false, nullptr},
    {"sbtN", kButton, 78, "n", 279, 445, 51, 44, kChar, false, nullptr},
    {"sbtG", kButton, 71, "g", 228, 401, 51, 44, kChar, false, nullptr},
    {"sbtH", kButton, 72, "h", 279, 401, 51, 44, kChar, false, nullptr},
    {"sbtB", kButton, 66, "b", 228, 445, 51, 44, kChar, false, nullptr},
    {"sbtV", kButton, 86, "v", 177, 445, 51, 44, kChar, false, nullptr},
    {"sbtF", kButton, 70, "f", 177, 401, 51, 44, kChar, false, nullptr},
    {"sbtD", kButton, 68, "d", 126, 401, 51, 44, kChar, false, nullptr},
    {"sbtC", kButton, 67, "c", 126, 445, 51, 44, kChar, false, nullptr},
    {"sbtX", kButton, 88, "x", 75, 445, 51, 44, kChar, false, nullptr},
    {"sbtS", kButton, 83, "s", 75, 401, 51, 44, kChar, false, nullptr},
    {"sbtA", kButton, 65, "a", 24, 401, 51, 44, kChar, false, nullptr},
    {"sbtZ", kButton, 90, "z", 24, 445, 51, 44, kChar, false, nullptr},
    // One pixel right of the column grid.
    {"sbtCCdil", kButton, 231, "\xE7", 484, 401, 51, 44, "spdCCdilClick", false, nullptr},
    // Fills the right-hand column from the second row to the bottom of the fifth.
    {"sbtEnter", kButton, 13, "Enter", 535, 357, 87, 176, "sbtEnterClick", false, nullptr},
    {"sbtContraBarra", kButton, 92, "\\", 484, 489, 51, 44, kChar, false, nullptr},
    {"sbtLimpar", kBitBtn, 46, nullptr, 433, 489, 51, 44, "sbtLimparClick", false, ":/glyphs/sbtLimpar.bmp"},
    {"sbt_", kButton, 95, "_", 382, 489, 51, 44, kChar, false, nullptr},
    {"sbtCapsLock", kButton, 20, "Caps Lock", 296, 489, 86, 44, "sbtCapsLockClick", true, nullptr},
    {"sbtEspaco", kButton, 32, nullptr, 153, 489, 143, 44, kChar, false, nullptr},
    {"sbtShift", kButton, 16, "Shift", 75, 489, 78, 44, "sbtShiftClick", true, nullptr},
    // One pixel below the row; has no Tag.
    {"sbtSair", kBitBtn, 0, nullptr, 24, 490, 51, 44, "sbtSairClick", false, ":/glyphs/sbtSair.bmp"},
    {"sbtBackSpace", kButton, 8, "Backspace", 535, 313, 87, 44, "sbtBackSpaceClick", true, nullptr},
};

/// What a screen reader says for the keys whose face shows no word: the space bar and the two
/// glyph keys. The other keys are read by their captions. Trad translates both.
constexpr std::pair<std::string_view, const char*> kSpokenNames[] = {
    {"sbtEspaco", "Space"},
    {"sbtLimpar", "Clear"},
    {"sbtSair", "Exit"},
};

const char* spokenName(std::string_view key) {
    for (const auto& [name, spoken] : kSpokenNames)
        if (name == key)
            return spoken;
    return nullptr;
}

/// Shift and Caps Lock stand for a state, which assistive tools report as checked.
bool standsForState(const KeySpec& key) {
    return key.handler == "sbtShiftClick" || key.handler == "sbtCapsLockClick";
}

/// The layout row of one key: its own values, then the look every key shares.
TLayoutComponent keyRow(const KeySpec& key) {
    std::vector<TLayoutProperty> properties;
    if (key.tag != 0)
        properties.push_back({"Tag", key.tag});
    properties.push_back({"Left", key.left});
    properties.push_back({"Top", key.top});
    properties.push_back({"Width", key.width});
    properties.push_back({"Height", key.height});
    if (key.caption)
        properties.push_back({"Caption", key.caption});
    if (key.glyph)
        properties.push_back({"Glyph", TResourceImage{key.glyph}});
    properties.push_back({"Shape", TIdent{"stRoundRect"}});
    properties.push_back({"Pen.Style", TIdent{"psClear"}});
    properties.push_back({"Brush.Color", clPaleGreen});
    properties.push_back({"DownColor", TIdent{"clWindowText"}});
    properties.push_back({"DownFontColor", TIdent{"clWindow"}});
    properties.push_back({"DisabledColor", clDisabledKey});
    properties.push_back({"DisabledFontColor", TIdent{"clSilver"}});
    properties.push_back({"Font.Charset", TIdent{"ANSI_CHARSET"}});
    properties.push_back({"Font.Color", TIdent{"clBlack"}});
    properties.push_back({"Font.Height", key.smallBoldFont ? -13 : -19});
    properties.push_back({"Font.Name", "Arial"});
    properties.push_back({"Font.Style", key.smallBoldFont ? TSet{{"fsBold"}} : TSet{}});
    properties.push_back({"ParentFont", false});
    if (const char* spoken = spokenName(key.name))
        properties.push_back({"AccessibleName", spoken});
    if (standsForState(key))
        properties.push_back({"Checkable", true});
    properties.push_back({"OnClick", THandlerName{key.handler}});
    return {key.className, key.name, "", std::move(properties)};
}

} // namespace

std::vector<TLayoutComponent> keyboardLayout() {
    std::vector<TLayoutComponent> rows;
    rows.reserve(std::size(kKeys));
    for (const KeySpec& key : kKeys)
        rows.push_back(keyRow(key));
    return rows;
}

#pragma once
// Value types shared by forms, controls and the layout tables: colours, fonts, key codes,
// modifier sets and the event signatures handlers are bound with.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/rtl/AnsiString.h>
#include <qmr41726/rtl/TComponent.h>

#include <cstdint>
#include <functional>

namespace qmr {

/// A colour as 0x00BBGGRR (blue in the high byte).
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clSilver = 0xC0C0C0;
// System colours, as the standard Windows scheme defines them.
constexpr TColor clInfoBk = 0xE1FFFF;
constexpr TColor clWindowText = 0x000000;
constexpr TColor clWindow = 0xFFFFFF;
constexpr TColor clMenu = 0xF0F0F0;
constexpr TColor clBtnFace = 0xF0F0F0;

/// Red, green and blue of a TColor.
constexpr int colorRed(TColor c) {
    return int(c & 0xFF);
}
constexpr int colorGreen(TColor c) {
    return int((c >> 8) & 0xFF);
}
constexpr int colorBlue(TColor c) {
    return int((c >> 16) & 0xFF);
}

/// A font as the layout describes it. Height is negative: the character height in pixels.
struct QMR_RUNTIME_EXPORT TFont {
    AnsiString name = "MS Sans Serif";
    int height = -11;
    TColor color = clWindowText;
    bool bold = false;
    int charset = 1; // DEFAULT_CHARSET; 0 is ANSI_CHARSET
    bool operator==(const TFont&) const = default;
};

using WORD = std::uint16_t;

// Windows virtual key codes the screen handles.
constexpr WORD VK_BACK = 8;
constexpr WORD VK_RETURN = 13;
constexpr WORD VK_SHIFT = 16;
constexpr WORD VK_CONTROL = 17;
constexpr WORD VK_MENU = 18;
constexpr WORD VK_CAPITAL = 20;
constexpr WORD VK_ESCAPE = 27;
constexpr WORD VK_DELETE = 46;
constexpr WORD VK_F4 = 115;

/// The modifiers held with a key: a set of Shift, Alt and Ctrl, compared as a whole.
class QMR_RUNTIME_EXPORT TShiftState {
public:
    enum Flag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
    constexpr TShiftState() = default;
    constexpr TShiftState(Flag flag) : m_bits(flag) {}
    constexpr TShiftState operator|(TShiftState other) const { return fromBits(m_bits | other.m_bits); }
    constexpr bool contains(Flag flag) const { return (m_bits & flag) != 0; }
    constexpr bool operator==(const TShiftState&) const = default;
    constexpr unsigned bits() const { return m_bits; }
    static constexpr TShiftState fromBits(unsigned bits) {
        TShiftState s;
        s.m_bits = bits & 7u;
        return s;
    }

private:
    unsigned m_bits = 0;
};

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

/// How a control places itself in its parent: alClient keeps it covering the parent's client area.
enum class TAlign { alNone, alClient };

class TColumn;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TDBGridClickEvent = std::function<void(TColumn* Column)>;

} // namespace qmr

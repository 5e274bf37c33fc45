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

/// Colours the layout names by their Windows names.
///@{
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clSilver = 0xC0C0C0;
///@}
/// System colours, as the standard Windows scheme defines them.
///@{
constexpr TColor clInfoBk = 0xE1FFFF;
constexpr TColor clWindowText = 0x000000;
constexpr TColor clWindow = 0xFFFFFF;
constexpr TColor clMenu = 0xF0F0F0;
constexpr TColor clBtnFace = 0xF0F0F0;
///@}

/// Red, green and blue of a TColor.
constexpr int colorRed(TColor c) {
    return int(c & 0xFF);
}
/// Green of a TColor.
constexpr int colorGreen(TColor c) {
    return int((c >> 8) & 0xFF);
}
/// Blue of a TColor.
constexpr int colorBlue(TColor c) {
    return int((c >> 16) & 0xFF);
}

/// A font as the layout describes it. Height is negative: the character height in pixels.
struct QMR_RUNTIME_EXPORT TFont {
    /// The family name; fontconfig maps the Windows names a layout uses to installed fonts.
    AnsiString name = "MS Sans Serif";
    /// Negative: the character height in design pixels (-11 is 8 pt at 96 dpi); positive: the
    /// height of the character cell, its internal leading included.
    int height = -11;
    /// The colour of the text.
    TColor color = clWindowText;
    /// Bold or regular weight.
    bool bold = false;
    /// The Windows character set the layout names (1, DEFAULT_CHARSET; 0, ANSI_CHARSET); kept, not used.
    int charset = 1; // DEFAULT_CHARSET; 0 is ANSI_CHARSET
    /// Equal when every property is.
    bool operator==(const TFont&) const = default;
};

/// A Windows virtual key code, as WM_KEYDOWN and key events carry it.
using WORD = std::uint16_t;

/// Windows virtual key codes the screen handles.
///@{
constexpr WORD VK_BACK = 8;
constexpr WORD VK_RETURN = 13;
constexpr WORD VK_SHIFT = 16;
constexpr WORD VK_CONTROL = 17;
constexpr WORD VK_MENU = 18;
constexpr WORD VK_CAPITAL = 20;
constexpr WORD VK_ESCAPE = 27;
constexpr WORD VK_DELETE = 46;
constexpr WORD VK_F4 = 115;
///@}

/// The modifiers held with a key: a set of Shift, Alt and Ctrl, compared as a whole.
class QMR_RUNTIME_EXPORT TShiftState {
public:
    /// One modifier key.
    enum Flag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
    constexpr TShiftState() = default;
    /// The set holding `flag` alone.
    constexpr TShiftState(Flag flag) : m_bits(flag) {}
    /// The set holding the modifiers of both.
    constexpr TShiftState operator|(TShiftState other) const { return fromBits(m_bits | other.m_bits); }
    /// Whether `flag` is held.
    constexpr bool contains(Flag flag) const { return (m_bits & flag) != 0; }
    /// Equal when the same modifiers are held.
    constexpr bool operator==(const TShiftState&) const = default;
    /// The set as bits of Flag, for storing it in a message's parameter.
    constexpr unsigned bits() const { return m_bits; }
    /// The set of the Flag bits in `bits`; other bits are ignored.
    static constexpr TShiftState fromBits(unsigned bits) {
        TShiftState s;
        s.m_bits = bits & 7u;
        return s;
    }

private:
    unsigned m_bits = 0;
};

/// What closing a form does with it, as its OnClose handler chooses (caHide unless it changes
/// it): caNone keeps the form open; every other action ends the form's modal loop, and caFree
/// also asks for the form to be freed (TForm::releaseRequested).
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

/// How a control places itself in its parent: alClient keeps it covering the parent's client area.
enum class TAlign { alNone, alClient };

class TColumn;

/// The handler of a plain event (a click, a timer tick); `Sender` is the component it came from.
using TNotifyEvent = std::function<void(TObject* Sender)>;
/// The handler of a key going down: it may set `Key` to 0 so that no later handler sees it.
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
/// The handler of a typed character (Windows-1252): it may set `Key` to 0 to refuse it.
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
/// The handler of a close request: it may change `Action`.
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
/// The handler of a touch on a grid's column title.
using TDBGridClickEvent = std::function<void(TColumn* Column)>;

} // namespace qmr

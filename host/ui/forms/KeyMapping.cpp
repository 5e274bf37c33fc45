#include <qmr41726/ui/forms/KeyMapping.h>

#include <QList>

#include <array>
#include <utility>

namespace qmr {

namespace {

// Virtual key codes of the keys that need a table (letters and digits map by value).
constexpr WORD VK_TAB = 9;
constexpr WORD VK_PAUSE = 19;
constexpr WORD VK_SPACE = 32;
constexpr WORD VK_PRIOR = 33;
constexpr WORD VK_NEXT = 34;
constexpr WORD VK_END = 35;
constexpr WORD VK_HOME = 36;
constexpr WORD VK_LEFT = 37;
constexpr WORD VK_UP = 38;
constexpr WORD VK_RIGHT = 39;
constexpr WORD VK_DOWN = 40;
constexpr WORD VK_SNAPSHOT = 44;
constexpr WORD VK_INSERT = 45;
constexpr WORD VK_LWIN = 91;
constexpr WORD VK_APPS = 93;
constexpr WORD VK_NUMPAD0 = 96;
constexpr WORD VK_MULTIPLY = 106;
constexpr WORD VK_ADD = 107;
constexpr WORD VK_SUBTRACT = 109;
constexpr WORD VK_DECIMAL = 110;
constexpr WORD VK_DIVIDE = 111;
constexpr WORD VK_F1 = 112;
constexpr WORD VK_NUMLOCK = 144;
constexpr WORD VK_SCROLL = 145;
constexpr WORD VK_OEM_1 = 186;      // ; :  (ç on Brazilian keyboards)
constexpr WORD VK_OEM_PLUS = 187;   // = +
constexpr WORD VK_OEM_COMMA = 188;  // , <
constexpr WORD VK_OEM_MINUS = 189;  // - _
constexpr WORD VK_OEM_PERIOD = 190; // . >
constexpr WORD VK_OEM_2 = 191;      // / ?
constexpr WORD VK_OEM_3 = 192;      // ` ~
constexpr WORD VK_OEM_4 = 219;      // [ {
constexpr WORD VK_OEM_5 = 220;      // \ |
constexpr WORD VK_OEM_6 = 221;      // ] }
constexpr WORD VK_OEM_7 = 222;      // ' "

/// Keys whose code does not follow from their Qt value. Shifted symbols map to the key that
/// types them on a US layout, since a virtual key names the key, not the character.
constexpr std::array<std::pair<int, WORD>, 63> kKeys{{
    {Qt::Key_Backspace, VK_BACK},
    {Qt::Key_Tab, VK_TAB},
    {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},
    {Qt::Key_AltGr, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL},
    {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Print, VK_SNAPSHOT},
    {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Meta, VK_LWIN},
    {Qt::Key_Menu, VK_APPS},
    {Qt::Key_NumLock, VK_NUMLOCK},
    {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Semicolon, VK_OEM_1},
    {Qt::Key_Colon, VK_OEM_1},
    {Qt::Key_Ccedilla, VK_OEM_1},
    {Qt::Key_Equal, VK_OEM_PLUS},
    {Qt::Key_Plus, VK_OEM_PLUS},
    {Qt::Key_Comma, VK_OEM_COMMA},
    {Qt::Key_Less, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS},
    {Qt::Key_Underscore, VK_OEM_MINUS},
    {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Greater, VK_OEM_PERIOD},
    {Qt::Key_Slash, VK_OEM_2},
    {Qt::Key_Question, VK_OEM_2},
    {Qt::Key_QuoteLeft, VK_OEM_3},
    {Qt::Key_AsciiTilde, VK_OEM_3},
    {Qt::Key_BracketLeft, VK_OEM_4},
    {Qt::Key_BraceLeft, VK_OEM_4},
    {Qt::Key_Backslash, VK_OEM_5},
    {Qt::Key_Bar, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6},
    {Qt::Key_BraceRight, VK_OEM_6},
    {Qt::Key_Apostrophe, VK_OEM_7},
    {Qt::Key_QuoteDbl, VK_OEM_7},
}};

/// Keys of the numeric keypad that have codes of their own there.
WORD keypadKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return WORD(VK_NUMPAD0 + (key - Qt::Key_0));
    switch (key) {
    case Qt::Key_Asterisk:
        return VK_MULTIPLY;
    case Qt::Key_Plus:
        return VK_ADD;
    case Qt::Key_Minus:
        return VK_SUBTRACT;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return VK_DECIMAL;
    case Qt::Key_Slash:
        return VK_DIVIDE;
    default:
        return 0;
    }
}

/// Whether a character byte is delivered to key-press handlers.
bool isTypedCharacter(int byte) {
    return byte >= 32 ? byte != 127 : (byte == VK_BACK || byte == VK_RETURN || byte == VK_ESCAPE);
}

} // namespace

WORD virtualKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    if (event.modifiers().testFlag(Qt::KeypadModifier)) {
        if (const WORD code = keypadKey(key))
            return code;
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return WORD(key); // same values as the virtual keys
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return WORD(VK_F1 + (key - Qt::Key_F1));
    for (const auto& [qtKey, code] : kKeys) {
        if (qtKey == key)
            return code;
    }
    return 0;
}

TShiftState shiftStateOf(Qt::KeyboardModifiers modifiers) {
    TShiftState state;
    if (modifiers.testFlag(Qt::ShiftModifier))
        state = state | TShiftState::ssShift;
    if (modifiers.testFlag(Qt::AltModifier))
        state = state | TShiftState::ssAlt;
    if (modifiers.testFlag(Qt::ControlModifier))
        state = state | TShiftState::ssCtrl;
    return state;
}

AnsiString charactersOf(const QKeyEvent& event) {
    const bool ctrl = event.modifiers().testFlag(Qt::ControlModifier);
    const bool alt = event.modifiers().testFlag(Qt::AltModifier);
    if (ctrl != alt)
        return {};
    AnsiString result;
    for (const char32_t codePoint : event.text().toUcs4()) {
        const int byte = codePointToAnsi(codePoint);
        if (byte >= 0 && isTypedCharacter(byte))
            result.push_back(char(byte));
    }
    return result;
}

TShiftState shiftStateOf(const QKeyEvent& event) {
    const TShiftState held = shiftStateOf(event.modifiers());
    switch (event.key()) {
    case Qt::Key_Shift:
        return held | TShiftState::ssShift;
    case Qt::Key_Control:
        return held | TShiftState::ssCtrl;
    case Qt::Key_Alt:
        return held | TShiftState::ssAlt;
    default:
        return held;
    }
}

} // namespace qmr

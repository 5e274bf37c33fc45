// Key routing: touched keys and physical keys end in the form's two key handlers, so both behave
// alike. The keyboard keeps a one-shot Shift and a Caps Lock and shows on the letter keys the
// case the next letter will have.

#include "Cli_Qmr41726.h"

#include <qmr41726/ui/forms/Messages.h>
#include <qmr41726/ui/forms/TClassRegistry.h>

using namespace qmr;

namespace {

constexpr char kCCedilla = '\xE7';        // ç in Windows-1252
constexpr char kCapitalCCedilla = '\xC7'; // Ç

/// Whether `key` is one of the characters the on-screen keyboard types: space , . / 0-9 A-Z \ _
/// a-z Ç ç. Everything else (control characters, quotes, hyphens, other accented letters) is
/// dropped, which also keeps quotes out of the filter text.
bool isAcceptedCharacter(char key) {
    const unsigned char code = static_cast<unsigned char>(key);
    return code == 32 || code == 44 || (code >= 46 && code <= 57) || (code >= 65 && code <= 90) ||
           code == 92 || code == 95 || (code >= 97 && code <= 122) || code == 199 || code == 231;
}

/// Whether the modifiers held are exactly `flag`, with no other modifier.
bool onlyModifier(TShiftState shift, TShiftState::Flag flag) {
    return shift == TShiftState(flag);
}

} // namespace

/// Sends each character of Texto to the form's own window, as a character or as a virtual key,
/// then optionally Enter. Each message is handled to its end before the next is sent.
void TfrmPesquisa::PostText(const AnsiString& Texto, bool boReturn, bool boChar) {
    const UINT message = boChar ? WM_CHAR : WM_KEYDOWN;
    for (const char c : Texto)
        SendMessageA(handle(), message, static_cast<unsigned char>(c), 0);
    if (boReturn)
        SendMessageA(handle(), WM_KEYDOWN, VK_RETURN, 0);
}

/// Types the touched key's character, taken from its Tag (a letter key holds its capital).
void TfrmPesquisa::sbt1Click(TObject* Sender) {
    const auto* key = dynamic_cast<const TComponent*>(Sender);
    if (!key)
        return;
    const char typed = static_cast<char>(key->tag());
    const char character = (LockedUP || boShift) ? upperAnsi(typed) : lowerAnsi(typed);
    PostText(AnsiString(1, character), false, true);
}

/// Types ç in the case the keys show; casing would leave it unchanged, so the key picks it.
void TfrmPesquisa::spdCCdilClick(TObject* /*Sender*/) {
    PostText(AnsiString(1, LockedUP != boShift ? kCapitalCCedilla : kCCedilla), false, true);
}

/// Turns the one-shot Shift on or off.
void TfrmPesquisa::sbtShiftClick(TObject* /*Sender*/) {
    boShift = !boShift;
    relabel(LockedUP != boShift);
    exposeLetterCaseState();
}

/// Turns Caps Lock on or off; a pending Shift is dropped.
void TfrmPesquisa::sbtCapsLockClick(TObject* /*Sender*/) {
    boShift = false;
    LockedUP = !LockedUP;
    relabel(LockedUP);
    exposeLetterCaseState();
}

/// The Clear key: the virtual key Delete ('.' is its code), then a repaint.
void TfrmPesquisa::sbtLimparClick(TObject* /*Sender*/) {
    PostText(".", false, false);
    repaint();
}

/// The Backspace key: the virtual key Backspace, then a repaint.
void TfrmPesquisa::sbtBackSpaceClick(TObject* /*Sender*/) {
    PostText(AnsiString(1, static_cast<char>(VK_BACK)), false, false);
    repaint();
}

/// Appends an accepted character within the length limit, cased by Caps Lock and Shift, and
/// searches. A pending Shift is released before the character goes in. Key is left as it came.
void TfrmPesquisa::FormKeyPress(TObject* /*Sender*/, char& Key) {
    const bool fits = static_cast<long long>(edtFiltro->text().size()) < inTamCampo;
    if (fits && isAcceptedCharacter(Key)) {
        const char character = LockedUP != boShift ? upperAnsi(Key) : lowerAnsi(Key);
        if (boShift)
            sbtShiftClick(sbtShift);
        edtFiltro->setText(edtFiltro->text() + character);
        searchAfterAppend();
    }
    applyEnterButtonRule();
}

/// Maps command keys to operations. Each test looks at the key code as the earlier tests left
/// it; only Ctrl+Delete and Alt+F4 are swallowed, the rest go on to the focused control.
void TfrmPesquisa::FormKeyDown(TObject* /*Sender*/, WORD& Key, TShiftState Shift) {
    if (Key == VK_DELETE && onlyModifier(Shift, TShiftState::ssCtrl))
        Key = 0;
    if (Key == VK_ESCAPE)
        sbtSair->click();
    if (Key == VK_RETURN && sbtEnter->enabled())
        sbtEnter->click();
    if (Key == VK_DELETE)
        clearSearch();
    if (Key == VK_BACK)
        removeLastCharacter();
    if (Key == VK_CAPITAL)
        sbtCapsLock->click();
    // The physical Shift arms the one-shot Shift but leaves the captions as they are.
    if (Key == VK_SHIFT) {
        boShift = true;
        exposeLetterCaseState();
    }
    if (Key == VK_F4 && onlyModifier(Shift, TShiftState::ssAlt))
        Key = 0;
    applyEnterButtonRule();
}

/// Shows capitals or lower case on the 26 letter keys, found by name, and on the ç key.
void TfrmPesquisa::relabel(bool capitals) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const AnsiString name = AnsiString("sbt") + letter;
        auto* key = dynamic_cast<TBlendedButton*>(findComponent(name));
        if (!key)
            throw EComponentError("Letter key " + name + " not found");
        key->setCaption(AnsiString(1, capitals ? letter : lowerAnsi(letter)));
    }
    sbtCCdil->setCaption(AnsiString(1, capitals ? kCapitalCCedilla : kCCedilla));
}

/// Shows assistive tools whether Shift and Caps Lock are on; the keys' faces do not show it.
void TfrmPesquisa::exposeLetterCaseState() {
    sbtShift->setChecked(boShift);
    sbtCapsLock->setChecked(LockedUP);
}

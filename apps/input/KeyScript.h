#pragma once
// The key script: a line of steps that drive the screen the way a user would (touches, physical
// keys, typed characters, Shift held down across keys), plus screenshots, pauses and probes. The
// host application's scripted mode and the tests speak it alike.
//
//   touch:sbtJ touch:sbtO probe key:Ctrl+Delete type:"jo ão" title:2 row:0 wait:50 shot:a.png
//   hold:Shift type:ab release:Shift
//
// Steps are separated by white space; a double-quoted part of a step may hold spaces, with \" and
// \\ standing for a quote and a backslash. Parsing is pure (no Qt): a malformed script is rejected
// as a whole, before anything runs, with a message naming the step and where it starts.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

/// What a step does.
enum class StepKind { Touch, Title, Row, Key, Type, Hold, Release, Shot, Wait, Probe };

/// The physical keys a script can press.
enum class KeyName {
    Enter,
    Esc,
    Delete,
    Backspace,
    Tab,
    Shift,
    CapsLock,
    F4,
    Up,
    Down,
    Left,
    Right,
    Home,
    End,
    PageUp,
    PageDown,
};

/// Modifiers held while a key is pressed; a set of these bits.
enum KeyModifier : unsigned { ModShift = 1, ModAlt = 2, ModCtrl = 4 };

/// One parsed step of a key script.
struct KeyStep {
    StepKind kind = StepKind::Probe;
    /// The step as written (quotes removed), for messages and timings.
    std::string source;
    /// touch: the component name; shot: the file name; type: the text (UTF-8).
    std::string text;
    /// type: the text's characters, one Unicode code point each.
    std::u32string characters;
    /// title: the column; row: the visible row; wait: milliseconds.
    int number = 0;
    /// key: the key pressed; hold and release: the modifier key (Shift).
    KeyName key = KeyName::Enter;
    unsigned modifiers = 0;
};

/// A malformed key script: names the step (from 1), where it starts (character from 1) and why.
class KeyScriptError : public std::runtime_error {
public:
    KeyScriptError(int step, std::size_t column, const std::string& message)
        : std::runtime_error(message), m_step(step), m_column(column) {}
    int step() const noexcept { return m_step; }
    std::size_t column() const noexcept { return m_column; }

private:
    int m_step;
    std::size_t m_column;
};

/// Parses a whole key script; KeyScriptError for the first malformed step. An empty script is
/// valid and has no steps.
std::vector<KeyStep> parseKeyScript(std::string_view script);

/// The name a script uses for a key ("Enter", "PageUp", ...).
std::string_view keyNameText(KeyName key);

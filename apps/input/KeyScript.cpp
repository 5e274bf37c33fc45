#include "KeyScript.h"

#include <qmr41726/rtl/MessageText.h>

#include <array>
#include <charconv>
#include <optional>

using qmr::kNameExcerptBytes;
using qmr::nameExcerpt;
using qmr::TextEncoding;

namespace {

/// One step of the script as written, with quotes resolved.
struct Token {
    std::string text;
    std::size_t column = 0;
};

struct KindName {
    std::string_view name;
    StepKind kind;
};

// The step kinds by their script names; "probe" is the only one written without a value.
constexpr std::array kKindNames{
    KindName{"touch", StepKind::Touch}, KindName{"title", StepKind::Title},
    KindName{"row", StepKind::Row},     KindName{"key", StepKind::Key},
    KindName{"type", StepKind::Type},   KindName{"shot", StepKind::Shot},
    KindName{"wait", StepKind::Wait},   KindName{"probe", StepKind::Probe},
    KindName{"hold", StepKind::Hold},   KindName{"release", StepKind::Release},
};

// Script names of the keys, in the order of KeyName.
constexpr std::array<std::string_view, 16> kKeyNames{
    "Enter", "Esc",  "Delete", "Backspace", "Tab",  "Shift", "CapsLock", "F4",
    "Up",    "Down", "Left",   "Right",     "Home", "End",   "PageUp",   "PageDown",
};

constexpr int kMaxIndex = 9999;       // no screen has more columns or visible rows
constexpr int kMaxWaitMs = 60 * 1000; // a longer pause is a typo, not a plan
const char* const kKindList =
    "touch:NAME, title:N, row:N, key:NAME, type:TEXT, hold:Shift, release:Shift, shot:FILE, wait:MS or probe";

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

/// A step or part of one as an error message shows it: a script may hold megabytes of text and
/// control bytes, and neither belongs on the user's terminal.
std::string shown(std::string_view text) {
    return nameExcerpt(text, kNameExcerptBytes, TextEncoding::Utf8);
}

[[noreturn]] void fail(int step, const Token& token, const std::string& why) {
    throw KeyScriptError(step, token.column,
                         "key script: step " + std::to_string(step) + " \"" + shown(token.text) +
                             "\" (at character " + std::to_string(token.column) + "): " + why);
}

/// Splits the script at white space outside double quotes. Quotes group and are removed.
std::vector<Token> tokenize(std::string_view script) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < script.size()) {
        if (isSpace(script[i])) {
            ++i;
            continue;
        }
        Token token{{}, i + 1};
        bool quoted = false;
        for (; i < script.size() && (quoted || !isSpace(script[i])); ++i) {
            const char c = script[i];
            if (c == '"') {
                quoted = !quoted;
            } else if (quoted && c == '\\' && i + 1 < script.size() &&
                       (script[i + 1] == '"' || script[i + 1] == '\\')) {
                token.text += script[++i];
            } else {
                token.text += c;
            }
        }
        if (quoted)
            fail(int(tokens.size()) + 1, token, "the double quote opened here is never closed");
        tokens.push_back(std::move(token));
    }
    return tokens;
}

/// The code points of UTF-8 text, or nothing when the text is not well-formed UTF-8.
std::optional<std::u32string> decodeUtf8(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80         ? 1
                           : (lead >> 5) == 6  ? 2
                           : (lead >> 4) == 14 ? 3
                           : (lead >> 3) == 30 ? 4
                                               : 0;
        if (length == 0 || i + length > text.size())
            return std::nullopt;
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            cp = (cp << 6) | (next & 0x3F);
        }
        constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return std::nullopt;
        out += cp;
        i += std::size_t(length);
    }
    return out;
}

/// A whole decimal number in [0, maximum].
std::optional<int> parseNumber(std::string_view value, int maximum) {
    int number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || error != std::errc() || end != value.data() + value.size() || number < 0 ||
        number > maximum)
        return std::nullopt;
    return number;
}

/// A step's whole decimal number in [0, maximum]; fails naming what it counts otherwise.
int boundedNumber(std::string_view value, int maximum, const char* what, int index, const Token& token) {
    const auto number = parseNumber(value, maximum);
    if (!number)
        fail(index, token, std::string("expected ") + what + " from 0 to " + std::to_string(maximum));
    return *number;
}

bool isComponentName(std::string_view name) {
    if (name.empty())
        return false;
    for (char c : name) {
        const bool word =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!word)
            return false;
    }
    return true;
}

std::string keyList() {
    std::string list;
    for (auto name : kKeyNames) {
        if (!list.empty())
            list += ' ';
        list += name;
    }
    return list;
}

/// The modifier a key prefix names, or 0 when it names none.
unsigned modifierBit(std::string_view prefix) {
    if (equalsIgnoringCase(prefix, "Ctrl"))
        return ModCtrl;
    if (equalsIgnoringCase(prefix, "Alt"))
        return ModAlt;
    if (equalsIgnoringCase(prefix, "Shift"))
        return ModShift;
    return 0;
}

/// key:[Ctrl+][Alt+][Shift+]NAME, the prefixes in any order, each at most once.
void parseKey(KeyStep& step, std::string_view value, int index, const Token& token) {
    std::size_t plus;
    while ((plus = value.find('+')) != std::string_view::npos) {
        const std::string_view prefix = value.substr(0, plus);
        const unsigned bit = modifierBit(prefix);
        if (bit == 0)
            fail(index, token,
                 "unknown modifier \"" + shown(prefix) + "\"; modifiers are Ctrl+, Alt+ and Shift+");
        if (step.modifiers & bit)
            fail(index, token, "the modifier \"" + std::string(prefix) + "+\" is given twice");
        step.modifiers |= bit;
        value.remove_prefix(plus + 1);
    }
    for (std::size_t k = 0; k < kKeyNames.size(); ++k) {
        if (equalsIgnoringCase(value, kKeyNames[k])) {
            step.key = KeyName(k);
            return;
        }
    }
    fail(index, token, "unknown key \"" + shown(value) + "\"; keys are " + keyList());
}

void parseType(KeyStep& step, std::string_view value, int index, const Token& token) {
    if (value.empty())
        fail(index, token, "type needs the text to type");
    auto characters = decodeUtf8(value);
    if (!characters)
        fail(index, token, "the text is not valid UTF-8");
    for (char32_t c : *characters) {
        if (c < 0x20 || c == 0x7F)
            fail(index, token, "type takes printable characters only; use key: for Enter, Tab and the like");
    }
    step.text = std::string(value);
    step.characters = std::move(*characters);
}

void parseValue(KeyStep& step, std::string_view value, int index, const Token& token) {
    switch (step.kind) {
    case StepKind::Touch:
        if (!isComponentName(value))
            fail(index, token, "touch needs a component name (letters, digits and _)");
        step.text = std::string(value);
        return;
    case StepKind::Title:
    case StepKind::Row:
        step.number = boundedNumber(value, kMaxIndex, "a number", index, token);
        return;
    case StepKind::Wait:
        step.number = boundedNumber(value, kMaxWaitMs, "milliseconds", index, token);
        return;
    case StepKind::Key:
        parseKey(step, value, index, token);
        return;
    case StepKind::Type:
        parseType(step, value, index, token);
        return;
    case StepKind::Hold:
    case StepKind::Release:
        // Shift is the one modifier the screen reads while it is held; Ctrl+ and Alt+ are written
        // on the key they go with.
        if (!equalsIgnoringCase(value, "Shift"))
            fail(index, token, "only Shift can be held and released");
        step.key = KeyName::Shift;
        return;
    case StepKind::Shot:
        if (value.empty())
            fail(index, token, "shot needs a file name");
        step.text = std::string(value);
        return;
    case StepKind::Probe:
        fail(index, token, "probe takes no value");
    }
}

KeyStep parseStep(const Token& token, int index) {
    const std::size_t colon = token.text.find(':');
    const std::string_view kindText = std::string_view(token.text).substr(0, colon);
    KeyStep step;
    step.source = token.text;
    bool known = false;
    for (const auto& entry : kKindNames) {
        if (equalsIgnoringCase(kindText, entry.name)) {
            step.kind = entry.kind;
            known = true;
        }
    }
    if (!known)
        fail(index, token, std::string("unknown step; steps are ") + kKindList);
    if (colon == std::string::npos) {
        if (step.kind != StepKind::Probe)
            fail(index, token, "missing \":\" and a value after \"" + std::string(kindText) + "\"");
        return step;
    }
    parseValue(step, std::string_view(token.text).substr(colon + 1), index, token);
    return step;
}

} // namespace

std::vector<KeyStep> parseKeyScript(std::string_view script) {
    std::vector<KeyStep> steps;
    const std::vector<Token> tokens = tokenize(script);
    steps.reserve(tokens.size());
    for (std::size_t i = 0; i < tokens.size(); ++i)
        steps.push_back(parseStep(tokens[i], int(i) + 1));
    return steps;
}

std::string_view keyNameText(KeyName key) {
    return kKeyNames[std::size_t(key)];
}

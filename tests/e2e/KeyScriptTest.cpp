// The key script parser: what a well-formed script means, and that a malformed one is refused with
// the step, its position and the reason.
#include "KeyScript.h"

#include <gtest/gtest.h>

TEST(KeyScript, emptyScriptHasNoSteps) {
    EXPECT_TRUE(parseKeyScript("").empty());
    EXPECT_TRUE(parseKeyScript(" \t\n ").empty());
}

TEST(KeyScript, stepsKeepTheirOrderKindAndSource) {
    const auto steps = parseKeyScript("touch:sbtJ  title:2\trow:0 wait:50 shot:out/a.png probe");
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps[0].kind, StepKind::Touch);
    EXPECT_EQ(steps[0].text, "sbtJ");
    EXPECT_EQ(steps[1].kind, StepKind::Title);
    EXPECT_EQ(steps[1].number, 2);
    EXPECT_EQ(steps[2].kind, StepKind::Row);
    EXPECT_EQ(steps[2].number, 0);
    EXPECT_EQ(steps[3].kind, StepKind::Wait);
    EXPECT_EQ(steps[3].number, 50);
    EXPECT_EQ(steps[4].kind, StepKind::Shot);
    EXPECT_EQ(steps[4].text, "out/a.png");
    EXPECT_EQ(steps[5].kind, StepKind::Probe);
    EXPECT_EQ(steps[5].source, "probe");
}

TEST(KeyScript, keysTakeModifierPrefixesInAnyOrderAndAnyCase) {
    struct Case {
        const char* script;
        KeyName key;
        unsigned modifiers;
    };
    const Case cases[] = {
        {"key:Enter", KeyName::Enter, 0},
        {"key:Ctrl+Delete", KeyName::Delete, ModCtrl},
        {"key:Alt+F4", KeyName::F4, ModAlt},
        {"key:shift+alt+ctrl+pagedown", KeyName::PageDown, ModShift | ModAlt | ModCtrl},
        {"key:Shift", KeyName::Shift, 0},
        {"KEY:capslock", KeyName::CapsLock, 0},
    };
    for (const auto& c : cases) {
        const auto steps = parseKeyScript(c.script);
        ASSERT_EQ(steps.size(), 1u) << c.script;
        EXPECT_EQ(steps[0].kind, StepKind::Key) << c.script;
        EXPECT_EQ(steps[0].key, c.key) << c.script;
        EXPECT_EQ(steps[0].modifiers, c.modifiers) << c.script;
    }
}

TEST(KeyScript, shiftCanBeHeldAcrossStepsAndReleased) {
    const auto steps = parseKeyScript("hold:Shift type:ab RELEASE:shift");
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].kind, StepKind::Hold);
    EXPECT_EQ(steps[0].key, KeyName::Shift);
    EXPECT_EQ(steps[2].kind, StepKind::Release);
    EXPECT_EQ(steps[2].key, KeyName::Shift);
}

TEST(KeyScript, typedTextIsDecodedAndMayBeQuoted) {
    EXPECT_EQ(parseKeyScript("type:jo")[0].characters, U"jo");
    EXPECT_EQ(parseKeyScript("type:\"jo \xC3\xA3o\"")[0].characters, U"jo \u00E3o");
    EXPECT_EQ(parseKeyScript("type:\"a\\\"b\\\\\"")[0].text, "a\"b\\");
    EXPECT_EQ(parseKeyScript("type:\xC3\xA7")[0].characters, U"\u00E7");
    const auto steps = parseKeyScript("shot:\"my shots/one.png\" probe");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].text, "my shots/one.png");
}

TEST(KeyScript, malformedStepIsNamedWithItsPositionAndReason) {
    struct Case {
        const char* script;
        int step;
        std::size_t column;
        const char* reason;
    };
    const Case cases[] = {
        {"touch:", 1, 1, "component name"},
        {"touch:sbt-A", 1, 1, "component name"},
        {"probe key:Foo", 2, 7, "unknown key \"Foo\""},
        {"key:Ctrl+Ctrl+Delete", 1, 1, "given twice"},
        {"key:Meta+Enter", 1, 1, "unknown modifier \"Meta\""},
        {"key:Ctrl+", 1, 1, "unknown key \"\""},
        {"title:-1", 1, 1, "number from 0"},
        {"touch:sbtA row:x", 2, 12, "number from 0"},
        {"row:10000", 1, 1, "number from 0"},
        {"wait:60001", 1, 1, "milliseconds"},
        {"wait:", 1, 1, "milliseconds"},
        {"probe:1", 1, 1, "no value"},
        {"tap:sbtA", 1, 1, "unknown step"},
        {"probe touch", 2, 7, "missing \":\""},
        {"probe type:\"abc", 2, 7, "never closed"},
        {"type:\xC3", 1, 1, "UTF-8"},
        {"type:\xED\xA0\x80", 1, 1, "UTF-8"}, // an encoded surrogate
        {"type:", 1, 1, "text to type"},
        {"type:\"a\x01\"", 1, 1, "printable"},
        {"shot:", 1, 1, "file name"},
        {"hold:Ctrl", 1, 1, "only Shift"},
        {"release", 1, 1, "missing \":\""},
    };
    for (const auto& c : cases) {
        try {
            parseKeyScript(c.script);
            ADD_FAILURE() << "accepted: " << c.script;
        } catch (const KeyScriptError& e) {
            const std::string message = e.what();
            EXPECT_EQ(e.step(), c.step) << c.script;
            EXPECT_EQ(e.column(), c.column) << c.script;
            EXPECT_NE(message.find("step " + std::to_string(c.step)), std::string::npos) << message;
            EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        }
    }
}

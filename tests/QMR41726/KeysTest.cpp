// The on-screen keyboard and the physical one driving the search: letter case with the one-shot
// Shift and Caps Lock, the captions of the letter keys, refused characters, the length limit and
// the editing keys.

#include "SearchScreenFixture.h"

#include <qmr41726/framework/controls/TBlendedBitBtn.h>

#include <QApplication>
#include <QKeyEvent>
#include <QRect>

using namespace qmr;

namespace {

struct CaseCase {
    const char* name;
    const char* script;
    const char* text;
    bool capitalsShown;
    bool capsLock;
    bool shiftPending;
};

const CaseCase kCases[] = {
    {"opensWithShiftPendingAndCapitalsShown", "", "", true, false, true},
    {"firstTouchedLetterCapitalThenLowerCase", "touch:sbtJ touch:sbtO", "Jo", false, false, false},
    {"shiftTouchedTwiceLeavesShiftOff", "touch:sbtA touch:sbtShift touch:sbtShift touch:sbtB", "Ab", false,
     false, false},
    {"shiftTouchedOnceGivesOneCapital", "touch:sbtA touch:sbtShift touch:sbtB touch:sbtC", "ABc", false,
     false, false},
    {"capsLockThenShiftGivesOneLowerCase",
     "touch:sbtA touch:sbtCapsLock touch:sbtShift touch:sbtB touch:sbtC", "AbC", true, true, false},
    {"capsLockWhileShiftPendingDropsShift", "touch:sbtCapsLock touch:sbtA touch:sbtB", "AB", true, true,
     false},
    {"capsLockTwiceBackToLowerCase", "touch:sbtA touch:sbtCapsLock touch:sbtCapsLock touch:sbtB", "Ab", false,
     false, false},
    {"digitReleasesShift", "touch:sbt1 touch:sbtA", "1a", false, false, false},
    {"spaceReleasesShift", "touch:sbtEspaco touch:sbtA", " a", false, false, false},
    {"signKeysTypeTheirCharacters",
     "touch:sbtA touch:sbtVirgula touch:sbtPonto touch:sbtBarra touch:sbtContraBarra touch:sbt_ touch:sbt0",
     "A,./\\_0", false, false, false},
    {"cedillaKeyFollowsShift", "touch:sbtCCdil touch:sbtCCdil", "\xC7\xE7", false, false, false},
    {"cedillaKeyUnderCapsLockIsCapital", "touch:sbtA touch:sbtCapsLock touch:sbtCCdil", "A\xC7", true, true,
     false},
    {"physicalCedillaUnderCapsLockAsTyped", "touch:sbtA touch:sbtCapsLock type:\xC3\xA7", "A\xE7", true, true,
     false},
    {"physicalLettersRecased", "type:jOAO", "Joao", false, false, false},
    {"physicalLettersUnderCapsLock", "touch:sbtA key:CapsLock type:bc", "ABC", true, true, false},
    {"physicalShiftArmsShiftWithoutRelabelling", "touch:sbtA key:Shift", "A", false, false, true},
    {"physicalShiftThenLetter", "touch:sbtA key:Shift type:b", "AB", false, false, false},
    {"heldShiftGivesOneCapital", "touch:sbtA hold:Shift type:BC release:Shift", "ABc", false, false, false},
    {"physicalShiftUnderCapsLock", "touch:sbtA key:CapsLock key:Shift type:bc", "AbC", true, true, false},
};

class LetterCase : public SearchScreenTest, public ::testing::WithParamInterface<CaseCase> {};

} // namespace

TEST_P(LetterCase, typedTextAndKeyCaptionsFollowShiftAndCapsLock) {
    const CaseCase& c = GetParam();
    open(DataKind::client);
    run(c.script);
    EXPECT_EQ(searchText(), c.text);
    EXPECT_EQ(keysShowCapitals(), c.capitalsShown);
    EXPECT_EQ(form->LockedUP, c.capsLock);
    EXPECT_EQ(form->boShift, c.shiftPending);
}

INSTANTIATE_TEST_SUITE_P(Keys, LetterCase, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A physical Shift held down repeats its key press; it arms the one-shot Shift once and the
// repeats must leave it armed, not toggle it off and on.
TEST_F(SearchScreenTest, physicalShiftRepeatedWhileHeldStaysArmed) {
    open(DataKind::client);
    run("touch:sbtA");
    for (int press = 0; press < 4; ++press) {
        QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, QString(), press > 0);
        QApplication::sendEvent(QApplication::focusWidget(), &shift);
        EXPECT_TRUE(form->boShift) << "after press " << press;
        EXPECT_FALSE(keysShowCapitals()) << "after press " << press;
    }
    run("type:b");
    EXPECT_EQ(searchText(), "AB");
}

namespace {

// Characters no key of the screen types, as a physical keyboard gives them (UTF-8), and Tab.
const char* const kRefused[] = {"type:-",        "type:@",        "type:'",        "type:\"\\\"\"",
                                "type:+",        "type:#",        "type:\xC3\xA1", "type:\xC3\xA3",
                                "type:\xC3\xA9", "type:\xC3\x91", "key:Tab"};

class RefusedCharacter : public SearchScreenTest, public ::testing::WithParamInterface<const char*> {};

} // namespace

TEST_P(RefusedCharacter, changesNothing) {
    open(DataKind::client);
    run(GetParam());
    EXPECT_EQ(searchText(), "");
    EXPECT_TRUE(form->boShift);
    EXPECT_TRUE(keysShowCapitals());
    EXPECT_EQ(data->filter(), "");
    EXPECT_FALSE(data->filtered());
}

INSTANTIATE_TEST_SUITE_P(Keys, RefusedCharacter, ::testing::ValuesIn(kRefused));

namespace {

struct EditCase {
    const char* name;
    const char* script;
    const char* text;
    const char* filter;
};

const EditCase kEdits[] = {
    {"physicalBackspaceRemovesOneCharacter", "type:abc key:Backspace", "Ab", "UPPER(NOME) LIKE 'AB%'"},
    {"backspaceKeyRemovesOneCharacter", "type:abc touch:sbtBackSpace", "Ab", "UPPER(NOME) LIKE 'AB%'"},
    {"backspaceOnEmptyTextKeepsItEmpty", "key:Backspace touch:sbtBackSpace", "", ""},
    {"physicalDeleteClears", "type:abc key:Delete", "", ""},
    {"clearKeyClears", "type:abc touch:sbtLimpar", "", ""},
    {"ctrlDeleteIsSwallowed", "type:abc key:Ctrl+Delete", "Abc", "UPPER(NOME) LIKE 'ABC%'"},
    {"escTypesNothing", "type:ab key:Esc", "Ab", ""},
};

class EditingKeys : public SearchScreenTest, public ::testing::WithParamInterface<EditCase> {};

} // namespace

TEST_P(EditingKeys, changeTheSearchTextAndFilter) {
    const EditCase& c = GetParam();
    open(DataKind::client);
    run(c.script);
    EXPECT_EQ(searchText(), c.text);
    EXPECT_EQ(data->filter(), c.filter);
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, EditingKeys, ::testing::ValuesIn(kEdits),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct LimitCase {
    const char* name;
    const char* script;
    const char* text;
    bool shiftPending;
};

// NOME holds at most three characters here.
const LimitCase kLimits[] = {
    {"fourthCharacterRefused", "type:abcd", "Abc", false},
    {"pendingShiftStaysPendingAtLimit", "type:abc touch:sbtShift type:d touch:sbtE", "Abc", true},
    {"backspaceStillWorksAtLimit", "type:abcd key:Backspace type:x", "Abx", false},
    {"deleteStillWorksAtLimit", "type:abc touch:sbtLimpar type:m", "m", false},
    {"sizeZeroColumnRefusesEverything", "title:0 touch:sbt1 type:1a", "", true},
};

class LengthLimit : public SearchScreenTest, public ::testing::WithParamInterface<LimitCase> {};

} // namespace

TEST_P(LengthLimit, searchTextNeverExceedsTheColumnSize) {
    const LimitCase& c = GetParam();
    open(DataKind::client, "", peopleStore(3));
    run(c.script);
    EXPECT_EQ(searchText(), c.text);
    EXPECT_EQ(form->boShift, c.shiftPending);
    EXPECT_EQ(keysShowCapitals(), c.shiftPending);
}

INSTANTIATE_TEST_SUITE_P(Keys, LengthLimit, ::testing::ValuesIn(kLimits),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SearchScreenTest, refusedCharacterAtLimitStillAppliesEnterRule) {
    open(DataKind::client, "", peopleStore(3));
    run("type:jos");
    form->sbtEnter->setEnabled(false);
    run("type:x");
    EXPECT_EQ(searchText(), "Jos");
    EXPECT_TRUE(form->sbtEnter->enabled());
}

TEST_F(SearchScreenTest, keysLieOnTheKeyboardPlateWithoutOverlapping) {
    open(DataKind::client);
    const QRect plate(form->blsKeyBoard->left(), form->blsKeyBoard->top(), form->blsKeyBoard->width(),
                      form->blsKeyBoard->height());
    std::vector<std::pair<std::string, QRect>> keys;
    for (const TLayoutComponent& row : keyboardLayout()) {
        const auto* key = dynamic_cast<TControl*>(form->findComponent(row.name));
        ASSERT_NE(key, nullptr) << row.name;
        keys.emplace_back(std::string(row.name), QRect(key->left(), key->top(), key->width(), key->height()));
    }
    ASSERT_EQ(keys.size(), 49u);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_TRUE(plate.contains(keys[i].second)) << keys[i].first;
        for (std::size_t j = i + 1; j < keys.size(); ++j)
            EXPECT_FALSE(keys[i].second.intersects(keys[j].second))
                << keys[i].first << " / " << keys[j].first;
    }
}

TEST_F(SearchScreenTest, glyphKeysShowTheirGlyphsAndNoCaption) {
    open(DataKind::client);
    for (const TBlendedBitBtn* key : {form->sbtLimpar, form->sbtSair}) {
        EXPECT_FALSE(key->glyph().isNull()) << key->name();
        EXPECT_EQ(key->caption(), "") << key->name();
    }
    EXPECT_EQ(form->sbtEspaco->caption(), "");
}

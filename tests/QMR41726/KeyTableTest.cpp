// Every key of the on-screen keyboard, touched where the keyboard's table says it stands, in lower
// case, with Shift pending and under Caps Lock: what it types or does, the captions it leaves, and
// its class, Tag, caption and font. The rows are written from the keyboard's layout table, not
// read back from the layout code, so a key moved, re-tagged, re-bound or re-fonted fails here.

#include "SearchScreenFixture.h"

#include <qmr41726/framework/controls/TBlendedBitBtn.h>

#include <QCoreApplication>
#include <QRect>

#include <set>

using namespace qmr;

namespace {

/// What a touch on the key does.
enum class Does { types, typesCedilla, shifts, locksCaps, erasesOne, clears, confirms, exits };

struct Key {
    const char* name;
    bool bitmap; // TBlendedBitBtn (a glyph, no caption) rather than TBlendedButton
    int tag;
    Does does;
    char character; // the character a character key types, lower case for a letter
    const char* caption;
    int left, top, width, height;
    bool smallBold; // the -13 bold font instead of the -19 regular one
};

using enum Does;

// clang-format off
const Key kKeys[] = {
    // Row 1: digits and Backspace.
    {"sbt1", false, 49, types, '1', "1", 24, 313, 51, 44, false},
    {"sbt2", false, 50, types, '2', "2", 75, 313, 51, 44, false},
    {"sbt3", false, 51, types, '3', "3", 126, 313, 51, 44, false},
    {"sbt4", false, 52, types, '4', "4", 177, 313, 51, 44, false},
    {"sbt5", false, 53, types, '5', "5", 228, 313, 51, 44, false},
    {"sbt6", false, 54, types, '6', "6", 279, 313, 51, 44, false},
    {"sbt7", false, 55, types, '7', "7", 330, 313, 51, 44, false},
    {"sbt8", false, 56, types, '8', "8", 381, 313, 51, 44, false},
    {"sbt9", false, 57, types, '9', "9", 432, 313, 51, 44, false},
    {"sbt0", false, 48, types, '0', "0", 483, 313, 51, 44, false},
    {"sbtBackSpace", false, 8, erasesOne, 0, "Backspace", 535, 313, 87, 44, true},
    // Row 2, and Enter down the right-hand column.
    {"sbtQ", false, 81, types, 'q', "q", 24, 357, 51, 44, false},
    {"sbtW", false, 87, types, 'w', "w", 75, 357, 51, 44, false},
    {"sbtE", false, 69, types, 'e', "e", 126, 357, 51, 44, false},
    {"sbtR", false, 82, types, 'r', "r", 177, 357, 51, 44, false},
    {"sbtT", false, 84, types, 't', "t", 228, 357, 51, 44, false},
    {"sbtY", false, 89, types, 'y', "y", 279, 357, 51, 44, false},
    {"sbtU", false, 85, types, 'u', "u", 330, 357, 51, 44, false},
    {"sbtI", false, 73, types, 'i', "i", 381, 357, 51, 44, false},
    {"sbtO", false, 79, types, 'o', "o", 432, 357, 51, 44, false},
    {"sbtP", false, 80, types, 'p', "p", 483, 357, 51, 44, false},
    {"sbtEnter", false, 13, confirms, 0, "Enter", 535, 357, 87, 176, false},
    // Row 3, with the ç key one pixel right of the grid.
    {"sbtA", false, 65, types, 'a', "a", 24, 401, 51, 44, false},
    {"sbtS", false, 83, types, 's', "s", 75, 401, 51, 44, false},
    {"sbtD", false, 68, types, 'd', "d", 126, 401, 51, 44, false},
    {"sbtF", false, 70, types, 'f', "f", 177, 401, 51, 44, false},
    {"sbtG", false, 71, types, 'g', "g", 228, 401, 51, 44, false},
    {"sbtH", false, 72, types, 'h', "h", 279, 401, 51, 44, false},
    {"sbtJ", false, 74, types, 'j', "j", 330, 401, 51, 44, false},
    {"sbtK", false, 75, types, 'k', "k", 381, 401, 51, 44, false},
    {"sbtL", false, 76, types, 'l', "l", 432, 401, 51, 44, false},
    {"sbtCCdil", false, 231, typesCedilla, 0, "\xE7", 484, 401, 51, 44, false},
    // Row 4.
    {"sbtZ", false, 90, types, 'z', "z", 24, 445, 51, 44, false},
    {"sbtX", false, 88, types, 'x', "x", 75, 445, 51, 44, false},
    {"sbtC", false, 67, types, 'c', "c", 126, 445, 51, 44, false},
    {"sbtV", false, 86, types, 'v', "v", 177, 445, 51, 44, false},
    {"sbtB", false, 66, types, 'b', "b", 228, 445, 51, 44, false},
    {"sbtN", false, 78, types, 'n', "n", 279, 445, 51, 44, false},
    {"sbtM", false, 77, types, 'm', "m", 330, 445, 51, 44, false},
    {"sbtVirgula", false, 44, types, ',', ",", 381, 445, 51, 44, false},
    {"sbtPonto", false, 46, types, '.', ".", 432, 445, 51, 44, false},
    {"sbtBarra", false, 47, types, '/', "/", 483, 445, 51, 44, false},
    // Row 5, keys of their own widths; Exit one pixel below the grid.
    {"sbtSair", true, 0, exits, 0, "", 24, 490, 51, 44, false},
    {"sbtShift", false, 16, shifts, 0, "Shift", 75, 489, 78, 44, true},
    {"sbtEspaco", false, 32, types, ' ', "", 153, 489, 143, 44, false},
    {"sbtCapsLock", false, 20, locksCaps, 0, "Caps Lock", 296, 489, 86, 44, true},
    {"sbt_", false, 95, types, '_', "_", 382, 489, 51, 44, false},
    {"sbtLimpar", true, 46, clears, 0, "", 433, 489, 51, 44, false},
    {"sbtContraBarra", false, 92, types, '\\', "\\", 484, 489, 51, 44, false},
};
// clang-format on

/// The letter-case state a key is touched in.
struct CaseState {
    const char* name;
    bool capsLock;
    bool shift;
};

const CaseState kStates[] = {
    {"lowerCase", false, false}, {"shiftPending", false, true}, {"capsLock", true, false}};

bool isLetter(char c) {
    return c >= 'a' && c <= 'z';
}

char upper(char c) {
    return isLetter(c) ? char(c - 'a' + 'A') : c;
}

/// The filter the search hands the data set for `text` over the people's NOME.
AnsiString filterFor(const AnsiString& text) {
    AnsiString pattern;
    for (const char c : text)
        pattern += upper(c);
    return text.empty() ? AnsiString() : "UPPER(NOME) LIKE '" + pattern + "%'";
}

/// What the screen should show after the touch.
struct Outcome {
    AnsiString text;
    bool capsLock;
    bool shift;
    bool confirmed = false;
    bool closed = false;
};

/// Works out the touch's outcome from the key's row: the search text is "Jo" beforehand.
Outcome expectedOutcome(const Key& key, const CaseState& state) {
    const bool capital = state.capsLock != state.shift;
    const AnsiString before = "Jo";
    switch (key.does) {
    case types:
        return {before + (capital ? upper(key.character) : key.character), state.capsLock, false};
    case typesCedilla:
        return {before + (capital ? '\xC7' : '\xE7'), state.capsLock, false};
    case shifts:
        return {before, state.capsLock, !state.shift};
    case locksCaps:
        return {before, !state.capsLock, false};
    case erasesOne:
        return {"J", state.capsLock, state.shift};
    case clears:
        return {"", state.capsLock, state.shift};
    case confirms:
        return {before, state.capsLock, state.shift, true, true};
    case exits:
        return {before, state.capsLock, state.shift, false, true};
    }
    return {};
}

std::string keyName(const Key& key) {
    return key.name;
}

class EveryKey : public SearchScreenTest, public ::testing::WithParamInterface<std::tuple<Key, CaseState>> {};

} // namespace

TEST_P(EveryKey, touchedAtItsPlaceDoesWhatItsRowSays) {
    const auto& [key, state] = GetParam();
    open(DataKind::client);
    run("type:jo");
    if (state.shift)
        form->sbtShiftClick(form->sbtShift);
    if (state.capsLock)
        form->sbtCapsLockClick(form->sbtCapsLock);
    ASSERT_EQ(searchText(), "Jo");
    ASSERT_EQ(form->LockedUP, state.capsLock);
    ASSERT_EQ(form->boShift, state.shift);

    const auto* control = dynamic_cast<const TControl*>(form->findComponent(key.name));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(QRect(control->left(), control->top(), control->width(), control->height()),
              QRect(key.left, key.top, key.width, key.height));
    ScreenInput(*form).touchAt(QPoint(key.left + key.width / 2, key.top + key.height / 2));

    const Outcome expected = expectedOutcome(key, state);
    EXPECT_EQ(searchText(), expected.text);
    EXPECT_EQ(form->LockedUP, expected.capsLock);
    EXPECT_EQ(form->boShift, expected.shift);
    EXPECT_EQ(keysShowCapitals(), expected.capsLock != expected.shift);
    EXPECT_EQ(form->boPesqOK, expected.confirmed);
    EXPECT_TRUE(messages->calls().empty());
    EXPECT_TRUE(errors.empty());
    // Exit puts the base filter back; every other key leaves the search's filter on the data set.
    EXPECT_EQ(data->filter(), key.does == exits ? AnsiString() : filterFor(expected.text));
    QCoreApplication::processEvents();
    EXPECT_EQ(form->widget()->isVisible(), !expected.closed);
}

INSTANTIATE_TEST_SUITE_P(Keys, EveryKey,
                         ::testing::Combine(::testing::ValuesIn(kKeys), ::testing::ValuesIn(kStates)),
                         [](const auto& info) {
                             return keyName(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name;
                         });

class KeyAsLaidOut : public ::testing::TestWithParam<Key> {};

TEST_P(KeyAsLaidOut, carriesItsClassTagCaptionAndFontFromCreation) {
    testApplication();
    TfrmPesquisa form;
    const Key& key = GetParam();
    const auto* button = dynamic_cast<const TBlendedButton*>(form.findComponent(key.name));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(dynamic_cast<const TBlendedBitBtn*>(button) != nullptr, key.bitmap);
    EXPECT_EQ(button->tag(), key.tag);
    EXPECT_EQ(button->caption(), key.caption);
    EXPECT_EQ(button->font(), key.smallBold ? (TFont{"Arial", -13, clBlack, true, 0})
                                            : (TFont{"Arial", -19, clBlack, false, 0}));
    EXPECT_FALSE(button->parentFont());
    EXPECT_TRUE(button->enabled());
    EXPECT_TRUE(button->visible());
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyAsLaidOut, ::testing::ValuesIn(kKeys),
                         [](const auto& info) { return keyName(info.param); });

TEST(KeyTable, theFormHasExactlyTheseKeys) {
    testApplication();
    TfrmPesquisa form;
    std::set<std::string> onForm;
    for (int i = 0; i < form.componentCount(); ++i) {
        if (dynamic_cast<TBlendedButton*>(form.component(i)))
            onForm.insert(form.component(i)->name());
    }
    std::set<std::string> inTable;
    for (const Key& key : kKeys)
        inTable.insert(key.name);
    EXPECT_EQ(inTable.size(), 49u);
    EXPECT_EQ(onForm, inTable);
}

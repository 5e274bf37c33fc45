// The search screen in the language the host chose: the word keys, the names screen readers
// speak and the screen's own messages follow the catalogue, while the letters, the signs and the
// keys' codes stay as laid out.

#include "SearchScreenFixture.h"

#include <qmr41726/framework/Language.h>

using namespace qmr;

namespace {

constexpr auto kEnglishOneParameter =
    "The search screen needs two parameters, a data set and a flag; it was given 1";

struct LanguageCase {
    const char* name;
    const char* language;
    const char* shift;
    const char* capsLock;
    const char* backspace;
    const char* enter;
    const char* firstRow;
    const char* space;
    const char* oneParameter;
};

const LanguageCase kLanguages[] = {
    {"brazilianPortuguese", "pt_BR", "Mai\xFAsc", "Fixa Mai\xFAsc", "Apagar", "Confirma", "Primeira linha",
     "Espa\xE7o",
     "A tela de pesquisa precisa de dois par\xE2metros, um conjunto de dados e um indicador; recebeu 1"},
    {"spanish", "es", "May\xFAs", "Bloq May\xFAs", "Borrar", "Intro", "Primera fila", "Espacio",
     "La pantalla de b\xFAsqueda necesita dos par\xE1metros, un conjunto de datos y un indicador; "
     "recibi\xF3 1"},
    {"english", "en_GB.UTF-8", "Shift", "Caps Lock", "Backspace", "Enter", "First row", "Space",
     kEnglishOneParameter},
    {"languageWithoutCatalogueKeepsTheLayout", "de_DE", "Shift", "Caps Lock", "Backspace", "Enter",
     "First row", "Space", kEnglishOneParameter},
    {"noLanguageKeepsTheLayout", "", "Shift", "Caps Lock", "Backspace", "Enter", "First row", "Space",
     kEnglishOneParameter},
};

class ScreenLanguage : public SearchScreenTest, public ::testing::WithParamInterface<LanguageCase> {
protected:
    void TearDown() override {
        SearchScreenTest::TearDown();
        setLanguage("");
    }
};

} // namespace

TEST_P(ScreenLanguage, wordKeysAndSpokenNamesFollowTheLanguageWhileTheKeyboardStaysAsLaidOut) {
    const LanguageCase& c = GetParam();
    setLanguage(c.language);
    open(DataKind::client);
    EXPECT_EQ(form->sbtShift->caption(), c.shift);
    EXPECT_EQ(form->sbtCapsLock->caption(), c.capsLock);
    EXPECT_EQ(form->sbtBackSpace->caption(), c.backspace);
    EXPECT_EQ(form->sbtEnter->caption(), c.enter);
    EXPECT_EQ(form->sbtPrimeiro->accessibleName(), c.firstRow);
    EXPECT_EQ(form->sbtEspaco->accessibleName(), c.space);
    EXPECT_EQ(form->sbtVirgula->caption(), ",");
    EXPECT_EQ(form->sbtEnter->tag(), 13);
    // The keyboard types as before: letters in the case the keys show.
    run("touch:sbtJ touch:sbtO touch:sbtCCdil");
    EXPECT_EQ(searchText(), "Jo\xE7");
    EXPECT_FALSE(keysShowCapitals());
}

TEST_P(ScreenLanguage, setUpErrorIsShownInTheLanguage) {
    const LanguageCase& c = GetParam();
    setLanguage(c.language);
    auto dataSet = makeDataSet(DataKind::client, peopleStore());
    EXPECT_FALSE(callScreen(TParams{Variant::fromPointer(dataSet.get())}).result);
    ASSERT_EQ(messages->calls().size(), 1u);
    EXPECT_EQ(messages->calls()[0].message, c.oneParameter);
}

INSTANTIATE_TEST_SUITE_P(Language, ScreenLanguage, ::testing::ValuesIn(kLanguages),
                         [](const auto& info) { return std::string(info.param.name); });

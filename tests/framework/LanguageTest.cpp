// Choosing the language of the runtime's catalogues, the locale's language, and Trad translating
// a form through the catalogue or through a host's own table.

#include <qmr41726/framework/Language.h>
#include <qmr41726/framework/Mensagem.h>
#include <qmr41726/framework/controls/TBlendedButton.h>
#include <qmr41726/ui/forms/TForm.h>

#include <gtest/gtest.h>

#include <QByteArray>

using namespace qmr;

namespace {

class Language : public ::testing::Test {
protected:
    void TearDown() override {
        setLanguage("");
        setTradTable(nullptr);
    }
};

struct ChoiceCase {
    const char* asked;
    const char* chosen; // empty: no catalogue, texts as laid out
};

const ChoiceCase kChoices[] = {
    {"pt_BR", "pt_BR"},
    {"pt_BR.UTF-8", "pt_BR"},
    {"pt-BR", "pt_BR"},
    {"es", "es"},
    {"es_AR.UTF-8@euro", "es"},
    {"en_US", "en"},
    {"pt_PT", ""},
    {"de", ""},
    {"C", ""},
    {"POSIX", ""},
    {"C.UTF-8", ""},
    {"", ""},
    {"xx_YY", ""},
};

} // namespace

TEST_F(Language, theMostSpecificCatalogueIsChosenAndNoneLeavesTextsAsLaidOut) {
    for (const ChoiceCase& c : kChoices) {
        setLanguage("es"); // a language chosen before must not linger
        EXPECT_EQ(setLanguage(c.asked), *c.chosen != '\0') << c.asked;
        EXPECT_EQ(language(), c.chosen) << c.asked;
        if (*c.chosen == '\0') {
            EXPECT_EQ(translate("Trad", "Caps Lock"), "Caps Lock") << c.asked;
        }
    }
}

TEST_F(Language, translatedTextIsWindows1252AndTakesItsArguments) {
    ASSERT_TRUE(setLanguage("es"));
    EXPECT_EQ(translate("Trad", "Caps Lock"), "Bloq May\xFAs");
    EXPECT_EQ(translate("TfrmPesquisa",
                        "The search screen needs two parameters, a data set and a flag; it was given %1",
                        {"0"}),
              "La pantalla de b\xFAsqueda necesita dos par\xE1metros, un conjunto de datos y un indicador; "
              "recibi\xF3 0");
    EXPECT_EQ(translate("Trad", "No such text"), "No such text");
}

TEST_F(Language, tradTranslatesCaptionsHintsAndNamesThroughTheCatalogue) {
    TForm form;
    auto* shift = form.adopt(std::make_unique<TBlendedButton>());
    shift->setCaption("Shift");
    shift->setHint("Enter");
    auto* letter = form.adopt(std::make_unique<TBlendedButton>());
    letter->setCaption("a");
    letter->setAccessibleName("Space");
    ASSERT_TRUE(setLanguage("pt_BR"));
    Trad(&form);
    EXPECT_EQ(shift->caption(), "Mai\xFAsc");
    EXPECT_EQ(shift->hint(), "Confirma");
    EXPECT_EQ(letter->caption(), "a") << "a text the catalogue does not hold stays";
    EXPECT_EQ(letter->accessibleName(), "Espa\xE7o");
}

TEST_F(Language, aHostsOwnTableTakesThePlaceOfTheCatalogue) {
    TForm form;
    auto* key = form.adopt(std::make_unique<TBlendedButton>());
    key->setCaption("Shift");
    ASSERT_TRUE(setLanguage("pt_BR"));
    setTradTable([](const AnsiString& text) { return "<" + text + ">"; });
    Trad(&form);
    EXPECT_EQ(key->caption(), "<Shift>");
}

TEST_F(Language, theLocaleNamesTheLanguageInPosixOrder) {
    const struct {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* expected;
    } cases[] = {
        {"", "", "pt_BR.UTF-8", "pt_BR"},
        {"", "es_ES.UTF-8", "pt_BR.UTF-8", "es_ES"},
        {"en_US", "es_ES", "pt_BR", "en_US"},
        {"", "POSIX", "pt_BR", ""},
        {"", "", "C.UTF-8", ""},
        {"", "", "", ""},
    };
    const QByteArray saved[] = {qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG")};
    for (const auto& c : cases) {
        qputenv("LC_ALL", c.lcAll);
        qputenv("LC_MESSAGES", c.lcMessages);
        qputenv("LANG", c.lang);
        EXPECT_EQ(localeLanguage(), c.expected) << c.lcAll << "|" << c.lcMessages << "|" << c.lang;
    }
    qputenv("LC_ALL", saved[0]);
    qputenv("LC_MESSAGES", saved[1]);
    qputenv("LANG", saved[2]);
}

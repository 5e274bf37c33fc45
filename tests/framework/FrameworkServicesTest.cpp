// The framework's services: the host's message routine, translation of a form, the message
// list, the runtime's class registration and the errors bad layout values give.
#include <qmr41726/data/dataset/TDataSource.h>
#include <qmr41726/framework/Mensagem.h>
#include <qmr41726/framework/TMessages.h>
#include <qmr41726/framework/controls/TBlendedBitBtn.h>
#include <qmr41726/framework/controls/TBlendedButton.h>
#include <qmr41726/framework/controls/TBlendedShape.h>
#include <qmr41726/framework/controls/TdxfColorButton.h>
#include <qmr41726/ui/controls/TEdit.h>
#include <qmr41726/ui/controls/TPanel.h>
#include <qmr41726/ui/controls/TTimer.h>
#include <qmr41726/ui/forms/Layout.h>
#include <qmr41726/ui/forms/TClassRegistry.h>
#include <qmr41726/ui/forms/TForm.h>
#include <qmr41726/ui/grid/TDBGrid.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace qmr;

namespace {

struct RecordedMessage {
    AnsiString message, complement, confirm, cancel;
    TTipoMsg kind;
    AnsiString title, code;
    int time;
    TClientDataSet* data;
};

TEST(Mensagem, hostRoutineReceivesEveryArgumentAndNullRestoresTheDefault) {
    std::vector<RecordedMessage> calls;
    setMensagemRoutine([&](const AnsiString& m, const AnsiString& c, const AnsiString& y, const AnsiString& n,
                           TTipoMsg k, const AnsiString& t, const AnsiString& code, int time,
                           TClientDataSet* data) {
        calls.push_back({m, c, y, n, k, t, code, time, data});
    });
    Mensagem("Filtro inv\xE1lido", "", "N", "N", TTipoMsg(3), "", "002", 0, nullptr);
    setMensagemRoutine(nullptr);

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, "Filtro inv\xE1lido");
    EXPECT_EQ(calls[0].confirm, "N");
    EXPECT_EQ(calls[0].cancel, "N");
    EXPECT_EQ(calls[0].kind, TTipoMsg::tmErro);
    EXPECT_EQ(calls[0].code, "002");
    EXPECT_EQ(calls[0].time, 0);
    EXPECT_EQ(calls[0].data, nullptr);

    // The default has nobody to answer a box on the offscreen platform: it must still return.
    Mensagem("sem rotina", "", "N", "N", TTipoMsg::tmErro, "", "002", 0, nullptr);
    EXPECT_EQ(calls.size(), 1u);
}

TEST(Trad, translatesCaptionsThroughTheHostTableAndIsIdentityWithoutOne) {
    TForm form;
    form.setCaption("Pesquisa");
    auto* key = form.adopt(std::make_unique<TBlendedButton>());
    key->setCaption("Caps Lock");
    auto* blank = form.adopt(std::make_unique<TBlendedButton>());

    Trad(&form);
    EXPECT_EQ(key->caption(), "Caps Lock");

    setTradTable(
        [](const AnsiString& text) { return text == "Caps Lock" ? AnsiString("Fixa") : "[" + text + "]"; });
    Trad(&form);
    Trad(nullptr);
    setTradTable(nullptr);
    EXPECT_EQ(key->caption(), "Fixa");
    EXPECT_EQ(form.caption(), "[Pesquisa]");
    EXPECT_EQ(blank->caption(), "") << "empty texts are not translated";
}

TEST(TMessages, layoutTextBecomesKeyedLines) {
    TMessages messages;
    TEventBinder events("msgPadrao", {});
    ASSERT_TRUE(messages.setProperty("Messages.Strings",
                                     "FILIAL|Filial\nOperador|Operador\nVersao|Vers\xE3o ", events));
    EXPECT_EQ(messages.messages(),
              (std::vector<AnsiString>{"FILIAL|Filial", "Operador|Operador", "Versao|Vers\xE3o "}));
    EXPECT_EQ(messages.text("versao"), "Vers\xE3o ");
    EXPECT_EQ(messages.text("Nada"), "");
    EXPECT_FALSE(messages.setProperty("Lines", "x", events));
}

TEST(RuntimeClasses, everyClassIsCreatedByNameAndRegisteringTwiceChangesNothing) {
    registerRuntimeClasses();
    registerRuntimeClasses();
    const std::vector<std::pair<std::string, std::function<bool(TComponent*)>>> classes = {
        {"TPanel", [](TComponent* c) { return dynamic_cast<TPanel*>(c) != nullptr; }},
        {"TEdit", [](TComponent* c) { return dynamic_cast<TEdit*>(c) != nullptr; }},
        {"TTimer", [](TComponent* c) { return dynamic_cast<TTimer*>(c) != nullptr; }},
        {"TDataSource", [](TComponent* c) { return dynamic_cast<TDataSource*>(c) != nullptr; }},
        {"TDBGrid", [](TComponent* c) { return dynamic_cast<TDBGrid*>(c) != nullptr; }},
        {"TBlendedShape", [](TComponent* c) { return dynamic_cast<TBlendedShape*>(c) != nullptr; }},
        {"TBlendedButton", [](TComponent* c) { return dynamic_cast<TBlendedButton*>(c) != nullptr; }},
        {"TBlendedBitBtn", [](TComponent* c) { return dynamic_cast<TBlendedBitBtn*>(c) != nullptr; }},
        {"TdxfColorButton", [](TComponent* c) { return dynamic_cast<TdxfColorButton*>(c) != nullptr; }},
        {"TMessages", [](TComponent* c) { return dynamic_cast<TMessages*>(c) != nullptr; }},
    };
    for (const auto& [name, isRightClass] : classes) {
        const std::unique_ptr<TComponent> component = createComponent(name);
        EXPECT_TRUE(isRightClass(component.get())) << name;
    }
    // Non-visual classes take their properties through the registry too.
    const std::unique_ptr<TComponent> messages = createComponent("TMessages");
    TEventBinder events("msgPadrao", {});
    EXPECT_TRUE(setComponentProperty("TMessages", *messages, "Messages.Strings", "A|a", events));
    EXPECT_EQ(static_cast<TMessages&>(*messages).text("A"), "a");
}

TEST(FrameworkProperties, layoutValuesSetTheControlsOrFailNamingTheValue) {
    TBlendedButton key;
    TEventBinder events("sbtA", {});
    EXPECT_TRUE(key.setProperty("Brush.Color", 12647128, events));
    EXPECT_TRUE(key.setProperty("DisabledColor", 15198159, events));
    EXPECT_TRUE(key.setProperty("DownFontColor", TIdent{"clWindow"}, events));
    EXPECT_TRUE(key.setProperty("Pen.Style", TIdent{"psClear"}, events));
    EXPECT_TRUE(key.setProperty("Shape", TIdent{"stRoundRect"}, events));
    EXPECT_TRUE(key.setProperty("Caption", "\xE7", events));
    EXPECT_EQ(key.brushColor(), 0xC0FAD8u);
    EXPECT_EQ(key.disabledColor(), 0xE7E7CFu);
    EXPECT_EQ(key.downFontColor(), clWindow);
    EXPECT_EQ(key.penStyle(), TBlendedShape::PenStyle::psClear);
    EXPECT_EQ(key.caption(), "\xE7");
    EXPECT_FALSE(key.setProperty("Glyph", TResourceImage{":/none.bmp"}, events));

    struct Bad {
        const char* property;
        TPropertyValue value;
        const char* named;
    };
    TBlendedBitBtn bitmapKey;
    const Bad bad[] = {{"Brush.Color", TIdent{"clGreenish"}, "clGreenish"},
                       {"Pen.Style", TIdent{"psDot"}, "psDot"},
                       {"Shape", TIdent{"stCircle"}, "stCircle"},
                       {"Glyph", TResourceImage{":/glyphs/missing.bmp"}, ":/glyphs/missing.bmp"},
                       {"Caption", 12, "Caption"}};
    for (const Bad& b : bad) {
        try {
            bitmapKey.setProperty(b.property, b.value, events);
            ADD_FAILURE() << b.property << " accepted";
        } catch (const EComponentError& error) {
            EXPECT_NE(error.Message().find(b.named), std::string::npos) << error.Message();
        }
    }
}

} // namespace

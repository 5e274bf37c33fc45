// What a screen reader finds on the search screen, asked through Qt's accessibility interfaces:
// every key and row button a named button, the filter box and the grid named, Enter's disabled
// state and the Shift and Caps Lock states, and a press that types as a touch does.

#include "SearchScreenFixture.h"

#include <qmr41726/framework/Language.h>

#include <QAccessible>
#include <QAccessibleActionInterface>

using namespace qmr;

namespace {

QAccessibleInterface* accessible(const TControl* control) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control->widget());
    EXPECT_NE(face, nullptr) << control->name();
    return face;
}

/// The name a screen reader speaks, as UTF-8.
std::string spokenName(const TControl* control) {
    QAccessibleInterface* face = accessible(control);
    return face ? face->text(QAccessible::Name).toStdString() : std::string();
}

QAccessible::State stateOf(const TControl* control) {
    QAccessibleInterface* face = accessible(control);
    return face ? face->state() : QAccessible::State();
}

class Accessibility : public SearchScreenTest {
protected:
    void TearDown() override {
        SearchScreenTest::TearDown();
        setLanguage("");
    }
};

} // namespace

TEST_F(Accessibility, everyKeyAndRowButtonIsANamedButton) {
    open(DataKind::client);
    int buttons = 0;
    for (int i = 0; i < form->componentCount(); ++i) {
        const auto* control = dynamic_cast<const TControl*>(form->component(i));
        const bool isButton =
            dynamic_cast<const TBlendedButton*>(control) || dynamic_cast<const TdxfColorButton*>(control);
        if (!isButton)
            continue;
        ++buttons;
        QAccessibleInterface* face = accessible(control);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->role(), QAccessible::Button) << control->name();
        EXPECT_FALSE(face->text(QAccessible::Name).isEmpty()) << control->name() << " has no name";
    }
    EXPECT_EQ(buttons, 49 + 4);
    EXPECT_EQ(spokenName(form->sbtA), "A") << "a letter key speaks the case it shows";
    EXPECT_EQ(spokenName(form->sbtEspaco), "Space");
    EXPECT_EQ(spokenName(form->sbtLimpar), "Clear");
    EXPECT_EQ(spokenName(form->sbtSair), "Exit");
    EXPECT_EQ(spokenName(form->sbtRolarBaixo), "Next row");
    run("touch:sbtJ");
    EXPECT_EQ(spokenName(form->sbtA), "a");
}

TEST_F(Accessibility, filterBoxAndGridAreNamedByWhatTheyHold) {
    open(DataKind::client);
    QAccessibleInterface* box = accessible(form->edtFiltro);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->role(), QAccessible::EditableText);
    EXPECT_EQ(box->text(QAccessible::Name).toStdString(), "Search text");
    EXPECT_TRUE(box->state().readOnly);
    QAccessibleInterface* grid = accessible(form->dbgPesquisa);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->role(), QAccessible::Table);
    EXPECT_EQ(grid->text(QAccessible::Name).toStdString(), "Search results");
}

TEST_F(Accessibility, namesFollowTheLanguage) {
    setLanguage("pt_BR");
    open(DataKind::client);
    EXPECT_EQ(spokenName(form->sbtEnter), "Confirma");
    EXPECT_EQ(spokenName(form->sbtSair), "Sair");
    EXPECT_EQ(spokenName(form->sbtUltimo), "\xC3\x9Altima linha");
    EXPECT_EQ(spokenName(form->edtFiltro), "Texto da pesquisa");
    EXPECT_EQ(spokenName(form->dbgPesquisa), "Resultado da pesquisa");
}

TEST_F(Accessibility, shiftAndCapsLockReportWhetherTheyAreOn) {
    open(DataKind::client);
    EXPECT_TRUE(stateOf(form->sbtShift).checkable);
    EXPECT_TRUE(stateOf(form->sbtShift).checked) << "the screen opens with Shift on";
    EXPECT_FALSE(stateOf(form->sbtCapsLock).checked);
    EXPECT_FALSE(stateOf(form->sbtA).checkable);
    run("touch:sbtA");
    EXPECT_FALSE(stateOf(form->sbtShift).checked) << "a letter releases Shift";
    run("touch:sbtCapsLock");
    EXPECT_TRUE(stateOf(form->sbtCapsLock).checked);
    run("key:Shift");
    EXPECT_TRUE(stateOf(form->sbtShift).checked) << "the physical Shift arms it too";
    run("touch:sbtCapsLock");
    EXPECT_FALSE(stateOf(form->sbtCapsLock).checked);
    EXPECT_FALSE(stateOf(form->sbtShift).checked) << "Caps Lock drops a pending Shift";
}

TEST_F(Accessibility, enterIsDisabledWhileNoRowIsLeftAndAPressTypesLikeATouch) {
    open(DataKind::client);
    EXPECT_FALSE(stateOf(form->sbtEnter).disabled);
    auto press = [&](const TControl* key) {
        QAccessibleActionInterface* actions = accessible(key)->actionInterface();
        ASSERT_NE(actions, nullptr);
        actions->doAction(QAccessibleActionInterface::pressAction());
    };
    press(form->sbtJ);
    press(form->sbtO);
    EXPECT_EQ(searchText(), "Jo");
    press(form->sbtX);
    EXPECT_EQ(searchText(), "Jox");
    EXPECT_TRUE(stateOf(form->sbtEnter).disabled) << "no row begins with Jox";
    press(form->sbtEnter);
    EXPECT_FALSE(form->boPesqOK) << "a disabled Enter refuses a press";
    press(form->sbtBackSpace);
    EXPECT_FALSE(stateOf(form->sbtEnter).disabled);
}

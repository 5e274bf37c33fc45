// Building forms from layout tables: what a good table gives, and the error a bad row raises.
#include "TestForm.h"

#include <qmr41726/ui/controls/TPanel.h>
#include <qmr41726/ui/forms/TClassRegistry.h>

#include <gtest/gtest.h>

using namespace qmr;

namespace {

/// A bare form that loads whatever layout a test hands it.
class BareForm : public TForm {
public:
    void FormKeyDown(TObject*, WORD&, TShiftState) {}
    void Clicked(TObject*) {}
    std::vector<TPublishedEntry> published() {
        return {publish(this, "FormKeyDown", &BareForm::FormKeyDown),
                publish(this, "Clicked", &BareForm::Clicked)};
    }
};

/// A form that declares a panel field, published for the loader to point at the panel panA.
class FieldForm : public BareForm {
public:
    TPanel* panA = nullptr;
    std::vector<TPublishedEntry> published() {
        std::vector<TPublishedEntry> entries = BareForm::published();
        entries.push_back(publish(this, "panA", &FieldForm::panA));
        return entries;
    }
};

/// The error loading `layout` on a fresh `Form` named frmBad raises.
template <class Form = BareForm> std::string loadError(const TLayout& layout) {
    registerTestClasses();
    Form form;
    form.setName("frmBad");
    try {
        loadLayout(form, layout, form.published());
    } catch (const EComponentError& error) {
        return error.Message();
    }
    return "no error";
}

TLayoutComponent panel(std::vector<TLayoutProperty> properties, std::string_view parent = "") {
    return {"TPanel", "panA", parent, std::move(properties)};
}

TEST(LayoutTest, badRowsFailWithAMessageNamingWhatIsWrong) {
    struct Row {
        const char* what;
        TLayout layout;
        std::string expected;
    };
    const Row rows[] = {
        {"unknown class", {{}, {{"TNothing", "xyz", "", {}}}}, "xyz: Class TNothing not found"},
        {"unknown property",
         {{}, {panel({{"Colour", 1}})}},
         "panA: unknown property 'Colour' of class TPanel"},
        {"unknown handler",
         {{}, {panel({{"OnClick", THandlerName{"Nope"}}})}},
         "panA: handler 'Nope' of event OnClick is not a published method of the form"},
        {"wrong signature",
         {{}, {panel({{"OnClick", THandlerName{"FormKeyDown"}}})}},
         "panA: handler 'FormKeyDown' does not fit event OnClick (wrong parameter list)"},
        {"event without a handler name",
         {{}, {panel({{"OnClick", "Clicked"}})}},
         "panA: event OnClick expects a handler name"},
        {"unknown parent", {{}, {panel({}, "panX")}}, "panA: parent 'panX' not found"},
        {"parent that holds no controls",
         {{}, {{"TTimer", "tim", "", {}}, panel({}, "tim")}},
         "panA: parent 'tim' cannot hold controls"},
        {"non-visual component with a parent",
         {{}, {panel({}), {"TTimer", "tim", "panA", {}}}},
         "tim: class TTimer is not a control and has no parent"},
        {"value of the wrong kind", {{}, {panel({{"Left", "ten"}})}}, "panA: Property Left expects a number"},
        {"unknown colour",
         {{}, {panel({{"Color", TIdent{"clMauve"}}})}},
         "panA: Property Color: unknown colour clMauve"},
        {"unknown alignment",
         {{}, {panel({{"Align", TIdent{"alLeft"}}})}},
         "panA: Property Align: unknown alignment alLeft"},
        {"unknown character set",
         {{}, {panel({{"Font.Charset", TIdent{"KLINGON_CHARSET"}}})}},
         "panA: Property Font.Charset: unknown character set KLINGON_CHARSET"},
        {"duplicate name", {{}, {panel({}), panel({})}}, "panA: a component of that name already exists"},
        {"unknown form property", {{{"Colour", 1}}, {}}, "frmBad: unknown property 'Colour' of class TForm"},
        {"unknown border style",
         {{{"BorderStyle", TIdent{"bsRound"}}}, {}},
         "frmBad: Property BorderStyle: unknown border style bsRound"},
        {"unknown form handler",
         {{{"OnCreate", THandlerName{"FormCreate"}}}, {}},
         "frmBad: handler 'FormCreate' of event OnCreate is not a published method of the form"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(loadError(row.layout), row.expected) << row.what;
}

TEST(LayoutTest, publishedFieldPointsAtTheComponentOfItsNameOrTheLoadFails) {
    registerTestClasses();
    FieldForm good;
    loadLayout(good, {{}, {{"TTimer", "tim", "", {}}, panel({})}}, good.published());
    EXPECT_NE(good.panA, nullptr);
    EXPECT_EQ(good.panA, good.findComponent("panA"));
    EXPECT_EQ(loadError<FieldForm>({{}, {{"TTimer", "tim", "", {}}}}),
              "frmBad: the layout has no component for the published field 'panA'");
    EXPECT_EQ(loadError<FieldForm>({{}, {{"TTimer", "panA", "", {}}}}),
              "panA: class TTimer does not fit the form's published field of that name");
}

TEST(LayoutTest, loadedFormHasItsComponentsInTableOrderWithTheirProperties) {
    RecordingApplication app;
    TestForm form;
    ASSERT_EQ(form.componentCount(), 4);
    EXPECT_EQ(form.component(0)->name(), "edtFiltro");
    EXPECT_EQ(form.component(3)->name(), "timNada");

    TEdit& filter = form.edtFiltro();
    EXPECT_EQ(filter.widget()->geometry(), QRect(10, 100, 200, 30));
    EXPECT_TRUE(filter.readOnly());
    EXPECT_EQ(filter.tabOrder(), 1);
    EXPECT_EQ(filter.widget()->objectName(), "edtFiltro");
    EXPECT_EQ(filter.widget()->font().pixelSize(), 24);
    EXPECT_TRUE(filter.widget()->font().bold());
    EXPECT_EQ(filter.font().charset, 0);
    EXPECT_EQ(filter.widget()->palette().color(QPalette::Text), QColor(0, 0, 0x80));
    EXPECT_EQ(filter.widget()->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xE1));

    TEdit& inner = form.edtInner();
    EXPECT_EQ(inner.parent(), form.findComponent("panMain"));
    EXPECT_EQ(inner.widget()->parentWidget(), static_cast<TPanel*>(form.findComponent("panMain"))->widget());
    EXPECT_EQ(TControl::fromWidget(inner.widget()), &inner);
    EXPECT_TRUE(form.keyPreview());
    EXPECT_TRUE(form.borderless());
    EXPECT_TRUE(form.screenCentered());
}

TEST(LayoutTest, childrenTakeTheParentFontUntilGivenTheirOwn) {
    RecordingApplication app;
    TestForm form;
    TFont big;
    big.name = "Tahoma";
    big.height = -19;
    form.setFont(big);
    EXPECT_EQ(form.findComponent("panMain") ? static_cast<TControl*>(form.edtInner().parent())->font()
                                            : TFont{},
              big);
    EXPECT_EQ(form.edtInner().font(), big);
    EXPECT_NE(form.edtFiltro().font(), big); // set its own in the layout
}

TEST(LayoutTest, clientAlignedControlFollowsItsParentsSize) {
    registerTestClasses();
    BareForm form;
    loadLayout(form,
               {{{"ClientWidth", 120}, {"ClientHeight", 90}},
                {{"TPanel",
                  "panFill",
                  "",
                  {{"Left", 5}, {"Top", 5}, {"Width", 10}, {"Height", 10}, {"Align", TIdent{"alClient"}}}}}},
               form.published());
    auto& fill = dynamic_cast<TControl&>(*form.findComponent("panFill"));
    EXPECT_EQ(fill.widget()->geometry(), QRect(0, 0, 120, 90));
    form.setClientSize(200, 150);
    EXPECT_EQ(form.widget()->rect(), QRect(0, 0, 200, 150));
    EXPECT_EQ(fill.parent(), &form);
    EXPECT_EQ(fill.widget()->geometry(), QRect(0, 0, 200, 150));
}

} // namespace

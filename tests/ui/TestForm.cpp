#include "TestForm.h"

#include <qmr41726/ui/controls/TPanel.h>
#include <qmr41726/ui/controls/TTimer.h>
#include <qmr41726/ui/forms/TClassRegistry.h>

using namespace qmr;

void registerTestClasses() {
    registerClass("TPanel", [] { return std::make_unique<TPanel>(); });
    registerClass("TEdit", [] { return std::make_unique<TEdit>(); });
    registerClass(
        "TTimer", [] { return std::make_unique<TTimer>(); },
        [](TComponent& c, std::string_view n, const TPropertyValue& v, TEventBinder& e) {
            return static_cast<TTimer&>(c).setProperty(n, v, e);
        });
}

RecordingApplication::RecordingApplication() {
    application.setExceptionHandler([this](const std::exception& e) { errors.emplace_back(e.what()); });
}

TLayout TestForm::layout() {
    return TLayout{{{"ClientWidth", 300},
                    {"ClientHeight", 200},
                    {"BorderStyle", TIdent{"bsNone"}},
                    {"Position", TIdent{"poScreenCenter"}},
                    {"Color", TIdent{"clWhite"}},
                    {"KeyPreview", true},
                    {"OldCreateOrder", false},
                    {"OnCreate", THandlerName{"FormCreate"}},
                    {"OnClose", THandlerName{"FormClose"}},
                    {"OnKeyDown", THandlerName{"FormKeyDown"}},
                    {"OnKeyPress", THandlerName{"FormKeyPress"}}},
                   {
                       {"TEdit",
                        "edtFiltro",
                        "",
                        {{"Left", 10},
                         {"Top", 100},
                         {"Width", 200},
                         {"Height", 30},
                         {"ReadOnly", true},
                         {"TabOrder", 1},
                         {"Font.Height", -24},
                         {"Font.Color", TIdent{"clNavy"}},
                         {"Font.Style", TSet{{"fsBold"}}},
                         {"Font.Charset", TIdent{"ANSI_CHARSET"}},
                         {"Color", TIdent{"clInfoBk"}},
                         {"OnKeyDown", THandlerName{"EditKeyDown"}},
                         {"OnKeyPress", THandlerName{"EditKeyPress"}}}},
                       {"TPanel",
                        "panMain",
                        "",
                        {{"Left", 10}, {"Top", 10}, {"Width", 200}, {"Height", 80}, {"TabOrder", 0}}},
                       {"TEdit",
                        "edtInner",
                        "panMain",
                        {{"Left", -3},
                         {"Top", -3},
                         {"Width", 260},
                         {"Height", 30},
                         {"TabOrder", 0},
                         {"OnKeyDown", THandlerName{"EditKeyDown"}},
                         {"OnKeyPress", THandlerName{"EditKeyPress"}}}},
                       {"TTimer", "timNada", "", {{"Left", 32}, {"Top", 119}}},
                   }};
}

TestForm::TestForm() {
    registerTestClasses();
    setName("frmTeste");
    loadLayout(*this, layout(), methods());
    create();
}

std::vector<TPublishedEntry> TestForm::methods() {
    return {publish(this, "FormCreate", &TestForm::FormCreate),
            publish(this, "FormClose", &TestForm::FormClose),
            publish(this, "FormKeyDown", &TestForm::FormKeyDown),
            publish(this, "FormKeyPress", &TestForm::FormKeyPress),
            publish(this, "EditKeyDown", &TestForm::EditKeyDown),
            publish(this, "EditKeyPress", &TestForm::EditKeyPress)};
}

TEdit& TestForm::edtInner() const {
    return dynamic_cast<TEdit&>(*findComponent("edtInner"));
}
TEdit& TestForm::edtFiltro() const {
    return dynamic_cast<TEdit&>(*findComponent("edtFiltro"));
}

void TestForm::record(const std::string& who, const std::string& what, int code, TShiftState shift) {
    std::string line = who + " " + what + " " + std::to_string(code);
    if (shift.contains(TShiftState::ssShift))
        line += " shift";
    if (shift.contains(TShiftState::ssAlt))
        line += " alt";
    if (shift.contains(TShiftState::ssCtrl))
        line += " ctrl";
    log.push_back(line);
}

void TestForm::FormCreate(TObject*) {
    // The whole tree exists by now.
    log.push_back(findComponent("edtInner") ? "create after tree" : "create too early");
}

void TestForm::FormClose(TObject*, TCloseAction& Action) {
    log.push_back("close");
    if (refuseClose)
        Action = TCloseAction::caNone;
    if (releaseOnClose)
        release();
}

void TestForm::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    record("form", "down", Key, Shift);
    if (Key == kFailingKey)
        throw Exception("key handler failed");
    if ((Key == VK_F4 && Shift == TShiftState::ssAlt) || (Key == VK_DELETE && Shift == TShiftState::ssCtrl))
        Key = 0;
}

void TestForm::FormKeyPress(TObject*, char& Key) {
    record("form", "press", static_cast<unsigned char>(Key));
    if (Key == 'x')
        Key = 0;
    else if (Key == 'q')
        Key = 'Q';
}

void TestForm::EditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift) {
    record(dynamic_cast<TComponent*>(Sender)->name(), "down", Key, Shift);
}

void TestForm::EditKeyPress(TObject* Sender, char& Key) {
    record(dynamic_cast<TComponent*>(Sender)->name(), "press", static_cast<unsigned char>(Key));
}

#include "SetupHarness.h"

#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/forms/Messages.h>
#include <qmr41726/ui/forms/TClassRegistry.h>

using namespace qmr;

TApplication& testApplication() {
    // The tests create the screen without loading the package, so they register the runtime's
    // classes as the package's Initialize does.
    static TApplication application;
    registerRuntimeClasses();
    return application;
}

TMensagemRecorder::TMensagemRecorder() {
    setMensagemRoutine([this](const AnsiString& message, const AnsiString& complement,
                              const AnsiString& confirm, const AnsiString& cancel, TTipoMsg kind,
                              const AnsiString& title, const AnsiString& code, int time,
                              TClientDataSet* dataSet) {
        m_calls.push_back({message, complement, confirm, cancel, kind, title, code, time, dataSet});
    });
}

TMensagemRecorder::~TMensagemRecorder() {
    setMensagemRoutine(nullptr);
}

std::shared_ptr<const TColumnStore> productStore(std::vector<AnsiString> hidden) {
    std::vector<TFieldDef> fields = {{"CODIGO", TFieldType::ftInteger, 0, true, {}},
                                     {"DESCRICAO", TFieldType::ftString, 40, true, {}},
                                     {"UNIDADE", TFieldType::ftString, 3, true, {}},
                                     {"PRECO", TFieldType::ftFloat, 0, true, {}}};
    for (TFieldDef& field : fields)
        for (const AnsiString& name : hidden)
            if (field.name == name)
                field.visible = false;
    TColumnStoreBuilder builder(fields);
    const struct {
        int code;
        const char* description;
        const char* unit;
        double price;
    } rows[] = {{3, "CAFE TORRADO", "KG", 21.5},
                {1, "ARROZ", "KG", 5.2},
                {2, "BISCOITO", "PC", 3.1},
                {5, "ACUCAR", "KG", 4.0},
                {4, "DETERGENTE", "UN", 2.3}};
    for (const auto& row : rows) {
        builder.appendInteger(0, row.code);
        builder.appendString(1, row.description);
        builder.appendString(2, row.unit);
        builder.appendFloat(3, row.price);
        builder.endRow();
    }
    return builder.finish();
}

std::shared_ptr<const TColumnStore> stringStore(const std::vector<AnsiString>& names, int rows) {
    std::vector<TFieldDef> fields;
    for (const AnsiString& name : names)
        fields.push_back({name, TFieldType::ftString, 10, true, {}});
    TColumnStoreBuilder builder(fields);
    for (int row = rows; row > 0; --row) {
        for (int column = 0; column < int(names.size()); ++column)
            builder.appendString(column, "R" + std::to_string(row));
        builder.endRow();
    }
    return builder.finish();
}

TScreenOutcome callScreen(const TParams& params, const std::function<void(TfrmPesquisa&)>& whileShown,
                          OleVariant* oleRetorno) {
    TApplication& application = testApplication();
    TScreenOutcome outcome;
    application.onModalShown = [&](TForm& form) {
        outcome.shown = true;
        const HWND handle = form.handle();
        if (whileShown && frmPesquisa)
            whileShown(*frmPesquisa);
        PostMessageA(handle, WM_CLOSE, 0, 0);
    };
    OleVariant unused;
    outcome.result =
        CriaTelaQmr41726(params.data(), int(params.size()) - 1, oleRetorno ? *oleRetorno : unused);
    application.onModalShown = nullptr;
    return outcome;
}

TParams paramsFor(TDataSet& dataSet, AnsiString flag) {
    return {Variant::fromPointer(&dataSet), Variant(flag)};
}

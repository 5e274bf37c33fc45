// Creating the search screen and preparing a search: the layout is loaded, every component field
// is pointed at its component, and the caller's parameters and data set are taken over.

#include "QMR41726/Cli_Qmr41726.h"

#include "host/framework/Mensagem.h"
#include "host/ui/TApplication.h"
#include "host/ui/TClassRegistry.h"

#include <string>

using namespace qmr;

namespace {

/// Points component fields at the form's components by name, checking each one's class, so
/// that a layout that lacks a component or gives it another class fails at creation.
class TComponentFieldBinder {
public:
    explicit TComponentFieldBinder(const TForm& form) : m_form(form) {}

    template <class T> void bind(T*& field, std::string_view name, std::string_view className) const {
        TComponent* component = m_form.findComponent(name);
        if (!component)
            throw EComponentError("TfrmPesquisa: the layout has no component " + AnsiString(name));
        field = dynamic_cast<T*>(component);
        if (!field)
            throw EComponentError("TfrmPesquisa: component " + AnsiString(name) + " is not a " +
                                  AnsiString(className));
    }

private:
    const TForm& m_form;
};

/// The live data set whose address a parameter holds. Hosts pass data sets as integers; a
/// number that is no live data set would be a stray pointer, so it is refused here.
TDataSet* liveDataSet(const Variant& parameter) {
    const std::intptr_t address = parameter.toInteger();
    TDataSet* dataSet = TDataSet::fromAddress(address);
    if (!dataSet)
        throw Exception("The search screen's first parameter (" + std::to_string(address) +
                        ") is not the address of a live data set");
    return dataSet;
}

/// Replaces a client data set's index definitions by one per visible field, named after it.
void replaceIndexDefs(TClientDataSet& dataSet) {
    TIndexDefs& indexDefs = dataSet.indexDefs();
    while (indexDefs.count() > 0)
        indexDefs.remove(0);
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        const TField* field = dataSet.field(i);
        if (field->visible())
            indexDefs.add(field->fieldName(), field->fieldName(), 0);
    }
}

/// The 49 keys of the on-screen keyboard.
void bindKeys(TfrmPesquisa& f, const TComponentFieldBinder& fields) {
    for (auto [field, name] : {std::pair{&f.sbt1, "sbt1"},
                               {&f.sbt2, "sbt2"},
                               {&f.sbt3, "sbt3"},
                               {&f.sbt4, "sbt4"},
                               {&f.sbt5, "sbt5"},
                               {&f.sbt6, "sbt6"},
                               {&f.sbt7, "sbt7"},
                               {&f.sbt8, "sbt8"},
                               {&f.sbt9, "sbt9"},
                               {&f.sbt0, "sbt0"},
                               {&f.sbtQ, "sbtQ"},
                               {&f.sbtW, "sbtW"},
                               {&f.sbtE, "sbtE"},
                               {&f.sbtR, "sbtR"},
                               {&f.sbtT, "sbtT"},
                               {&f.sbtY, "sbtY"},
                               {&f.sbtU, "sbtU"},
                               {&f.sbtI, "sbtI"},
                               {&f.sbtO, "sbtO"},
                               {&f.sbtP, "sbtP"},
                               {&f.sbtL, "sbtL"},
                               {&f.sbtK, "sbtK"},
                               {&f.sbtVirgula, "sbtVirgula"},
                               {&f.sbtPonto, "sbtPonto"},
                               {&f.sbtBarra, "sbtBarra"},
                               {&f.sbtM, "sbtM"},
                               {&f.sbtJ, "sbtJ"},
                               {&f.sbtN, "sbtN"},
                               {&f.sbtG, "sbtG"},
                               {&f.sbtH, "sbtH"},
                               {&f.sbtB, "sbtB"},
                               {&f.sbtV, "sbtV"},
                               {&f.sbtF, "sbtF"},
                               {&f.sbtD, "sbtD"},
                               {&f.sbtC, "sbtC"},
                               {&f.sbtX, "sbtX"},
                               {&f.sbtS, "sbtS"},
                               {&f.sbtA, "sbtA"},
                               {&f.sbtZ, "sbtZ"},
                               {&f.sbtCCdil, "sbtCCdil"},
                               {&f.sbtEnter, "sbtEnter"},
                               {&f.sbtContraBarra, "sbtContraBarra"},
                               {&f.sbt_, "sbt_"},
                               {&f.sbtCapsLock, "sbtCapsLock"},
                               {&f.sbtEspaco, "sbtEspaco"},
                               {&f.sbtShift, "sbtShift"},
                               {&f.sbtBackSpace, "sbtBackSpace"}})
        fields.bind(*field, name, "TBlendedButton");
    fields.bind(f.sbtLimpar, "sbtLimpar", "TBlendedBitBtn");
    fields.bind(f.sbtSair, "sbtSair", "TBlendedBitBtn");
}

} // namespace

TfrmPesquisa::TfrmPesquisa() {
    registerRuntimeClasses();
    const std::vector<TMethodEntry> methods = publishedMethods();
    loadLayout(*this, layoutPesquisa(), methods);
    bindComponentFields();
    create();
}

TfrmPesquisa::~TfrmPesquisa() = default;

std::vector<TMethodEntry> TfrmPesquisa::publishedMethods() {
    return {
        publish(this, "FormCreate", &TfrmPesquisa::FormCreate),
        publish(this, "FormClose", &TfrmPesquisa::FormClose),
        publish(this, "FormKeyDown", &TfrmPesquisa::FormKeyDown),
        publish(this, "FormKeyPress", &TfrmPesquisa::FormKeyPress),
        publish(this, "dbgPesquisaKeyDown", &TfrmPesquisa::dbgPesquisaKeyDown),
        publish(this, "dbgPesquisaTitleClick", &TfrmPesquisa::dbgPesquisaTitleClick),
        publish(this, "edtFiltroKeyDown", &TfrmPesquisa::edtFiltroKeyDown),
        publish(this, "sbtPrimeiroClick", &TfrmPesquisa::sbtPrimeiroClick),
        publish(this, "sbtRolarCimaClick", &TfrmPesquisa::sbtRolarCimaClick),
        publish(this, "sbtRolarBaixoClick", &TfrmPesquisa::sbtRolarBaixoClick),
        publish(this, "sbtUltimoClick", &TfrmPesquisa::sbtUltimoClick),
        publish(this, "sbt1Click", &TfrmPesquisa::sbt1Click),
        publish(this, "spdCCdilClick", &TfrmPesquisa::spdCCdilClick),
        publish(this, "sbtShiftClick", &TfrmPesquisa::sbtShiftClick),
        publish(this, "sbtCapsLockClick", &TfrmPesquisa::sbtCapsLockClick),
        publish(this, "sbtLimparClick", &TfrmPesquisa::sbtLimparClick),
        publish(this, "sbtBackSpaceClick", &TfrmPesquisa::sbtBackSpaceClick),
        publish(this, "sbtEnterClick", &TfrmPesquisa::sbtEnterClick),
        publish(this, "sbtSairClick", &TfrmPesquisa::sbtSairClick),
    };
}

void TfrmPesquisa::bindComponentFields() {
    const TComponentFieldBinder fields(*this);
    for (auto [field, name] : {std::pair{&blsBorda, "blsBorda"},
                               {&blsPesquisa, "blsPesquisa"},
                               {&blsKeyBoard, "blsKeyBoard"},
                               {&BlendedShape1, "BlendedShape1"},
                               {&BlendedShape2, "BlendedShape2"}})
        fields.bind(*field, name, "TBlendedShape");
    bindKeys(*this, fields);
    fields.bind(panGrid, "panGrid", "TPanel");
    fields.bind(dbgPesquisa, "dbgPesquisa", "TDBGrid");
    fields.bind(edtFiltro, "edtFiltro", "TEdit");
    fields.bind(dtsPesquisa, "dtsPesquisa", "TDataSource");
    fields.bind(msgPadrao, "msgPadrao", "TMessages");
    fields.bind(timDataHora, "timDataHora", "TTimer");
    for (auto [field, name] : {std::pair{&sbtUltimo, "sbtUltimo"},
                               {&sbtRolarBaixo, "sbtRolarBaixo"},
                               {&sbtRolarCima, "sbtRolarCima"},
                               {&sbtPrimeiro, "sbtPrimeiro"}})
        fields.bind(*field, name, "TdxfColorButton");
}

void TfrmPesquisa::FormCreate(TObject*) {
    Trad(this);
}

void TfrmPesquisa::InicializaForm(TParams arParams) {
    if (arParams.size() < 2)
        throw Exception("The search screen needs two parameters, a data set and a flag; it was given " +
                        std::to_string(arParams.size()));
    cdsPesquisa = liveDataSet(arParams[0]);
    stFilter = arParams[1].toString();
    if (Application) {
        setCaption(Application->title());
        setIcon(QIcon(Application->icon()));
    }
    boPesqOK = false;
    LockedUP = false;
    boShift = false;
    sbtShiftClick(sbtShift);
}

void TfrmPesquisa::PreparaPesquisa(TDataSet* cdsPesquisa) {
    if (!cdsPesquisa)
        throw Exception("The search screen was given no data set");
    if (stFilter == "S")
        cdsPesquisa->setFilter("");
    dtsPesquisa->setDataSet(cdsPesquisa);
    auto* clientDataSet = dynamic_cast<TClientDataSet*>(cdsPesquisa);
    if (clientDataSet)
        replaceIndexDefs(*clientDataSet);
    OriginalFilter = cdsPesquisa->filter();
    TColumn* column = dbgPesquisa->column(1);
    stColunaPesq = column->fieldName();
    column->setTitleFontColor(clPurple);
    inTamCampo = column->field()->size();
    if (clientDataSet)
        clientDataSet->setIndexName(clientDataSet->indexDefs().item(1).name());
    cdsPesquisa->first();
    applyEnterButtonRule(); // so that over an empty data set Enter starts disabled
}

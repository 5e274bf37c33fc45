// Creating the search screen and preparing a search: the layout is loaded (which also points every
// published component field at its component), and the caller's parameters and data set are taken over.

#include "Cli_Qmr41726.h"

#include <qmr41726/framework/Language.h>
#include <qmr41726/framework/Mensagem.h>
#include <qmr41726/ui/TApplication.h>

#include <string>

using namespace qmr;

namespace {

/// The catalogue's context of the messages this screen shows.
constexpr auto kScreenContext = "TfrmPesquisa";

/// The live data set whose address a parameter holds. Hosts pass data sets as integers; a
/// number that is no live data set would be a stray pointer, so it is refused here.
TDataSet* liveDataSet(const Variant& parameter) {
    const std::intptr_t address = parameter.toInteger();
    TDataSet* dataSet = TDataSet::fromAddress(address);
    if (!dataSet)
        throw Exception(translate(
            kScreenContext, "The search screen's first parameter (%1) is not the address of a live data set",
            {std::to_string(address)}));
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

} // namespace

TfrmPesquisa::TfrmPesquisa() {
    loadLayout(*this, layoutPesquisa(), published());
    create();
}

TfrmPesquisa::~TfrmPesquisa() = default;

std::vector<TPublishedEntry> TfrmPesquisa::published() {
    // The event handlers, then the component fields in declaration order.
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
        publish(this, "blsBorda", &TfrmPesquisa::blsBorda),
        publish(this, "blsPesquisa", &TfrmPesquisa::blsPesquisa),
        publish(this, "blsKeyBoard", &TfrmPesquisa::blsKeyBoard),
        publish(this, "sbt1", &TfrmPesquisa::sbt1),
        publish(this, "sbt2", &TfrmPesquisa::sbt2),
        publish(this, "sbt3", &TfrmPesquisa::sbt3),
        publish(this, "sbt4", &TfrmPesquisa::sbt4),
        publish(this, "sbt5", &TfrmPesquisa::sbt5),
        publish(this, "sbt6", &TfrmPesquisa::sbt6),
        publish(this, "sbt7", &TfrmPesquisa::sbt7),
        publish(this, "sbt8", &TfrmPesquisa::sbt8),
        publish(this, "sbt9", &TfrmPesquisa::sbt9),
        publish(this, "sbt0", &TfrmPesquisa::sbt0),
        publish(this, "sbtQ", &TfrmPesquisa::sbtQ),
        publish(this, "sbtW", &TfrmPesquisa::sbtW),
        publish(this, "sbtE", &TfrmPesquisa::sbtE),
        publish(this, "sbtR", &TfrmPesquisa::sbtR),
        publish(this, "sbtT", &TfrmPesquisa::sbtT),
        publish(this, "sbtY", &TfrmPesquisa::sbtY),
        publish(this, "sbtU", &TfrmPesquisa::sbtU),
        publish(this, "sbtI", &TfrmPesquisa::sbtI),
        publish(this, "sbtO", &TfrmPesquisa::sbtO),
        publish(this, "sbtP", &TfrmPesquisa::sbtP),
        publish(this, "sbtL", &TfrmPesquisa::sbtL),
        publish(this, "sbtK", &TfrmPesquisa::sbtK),
        publish(this, "sbtVirgula", &TfrmPesquisa::sbtVirgula),
        publish(this, "sbtPonto", &TfrmPesquisa::sbtPonto),
        publish(this, "sbtBarra", &TfrmPesquisa::sbtBarra),
        publish(this, "sbtM", &TfrmPesquisa::sbtM),
        publish(this, "sbtJ", &TfrmPesquisa::sbtJ),
        publish(this, "sbtN", &TfrmPesquisa::sbtN),
        publish(this, "sbtG", &TfrmPesquisa::sbtG),
        publish(this, "sbtH", &TfrmPesquisa::sbtH),
        publish(this, "sbtB", &TfrmPesquisa::sbtB),
        publish(this, "sbtV", &TfrmPesquisa::sbtV),
        publish(this, "sbtF", &TfrmPesquisa::sbtF),
        publish(this, "sbtD", &TfrmPesquisa::sbtD),
        publish(this, "sbtC", &TfrmPesquisa::sbtC),
        publish(this, "sbtX", &TfrmPesquisa::sbtX),
        publish(this, "sbtS", &TfrmPesquisa::sbtS),
        publish(this, "sbtA", &TfrmPesquisa::sbtA),
        publish(this, "sbtZ", &TfrmPesquisa::sbtZ),
        publish(this, "sbtCCdil", &TfrmPesquisa::sbtCCdil),
        publish(this, "sbtEnter", &TfrmPesquisa::sbtEnter),
        publish(this, "sbtContraBarra", &TfrmPesquisa::sbtContraBarra),
        publish(this, "sbtLimpar", &TfrmPesquisa::sbtLimpar),
        publish(this, "sbt_", &TfrmPesquisa::sbt_),
        publish(this, "sbtCapsLock", &TfrmPesquisa::sbtCapsLock),
        publish(this, "sbtEspaco", &TfrmPesquisa::sbtEspaco),
        publish(this, "sbtShift", &TfrmPesquisa::sbtShift),
        publish(this, "sbtSair", &TfrmPesquisa::sbtSair),
        publish(this, "sbtBackSpace", &TfrmPesquisa::sbtBackSpace),
        publish(this, "panGrid", &TfrmPesquisa::panGrid),
        publish(this, "dbgPesquisa", &TfrmPesquisa::dbgPesquisa),
        publish(this, "edtFiltro", &TfrmPesquisa::edtFiltro),
        publish(this, "dtsPesquisa", &TfrmPesquisa::dtsPesquisa),
        publish(this, "msgPadrao", &TfrmPesquisa::msgPadrao),
        publish(this, "timDataHora", &TfrmPesquisa::timDataHora),
        publish(this, "BlendedShape1", &TfrmPesquisa::BlendedShape1),
        publish(this, "BlendedShape2", &TfrmPesquisa::BlendedShape2),
        publish(this, "sbtUltimo", &TfrmPesquisa::sbtUltimo),
        publish(this, "sbtRolarBaixo", &TfrmPesquisa::sbtRolarBaixo),
        publish(this, "sbtRolarCima", &TfrmPesquisa::sbtRolarCima),
        publish(this, "sbtPrimeiro", &TfrmPesquisa::sbtPrimeiro),
    };
}

void TfrmPesquisa::FormCreate(TObject*) {
    Trad(this);
}

void TfrmPesquisa::InicializaForm(TParams arParams) {
    if (arParams.size() < 2)
        throw Exception(translate(
            kScreenContext, "The search screen needs two parameters, a data set and a flag; it was given %1",
            {std::to_string(arParams.size())}));
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
        throw Exception(translate(kScreenContext, "The search screen was given no data set"));
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

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
    // Generated from the layout: the event handlers, then the component fields in declaration order.
    return {TFRMPESQUISA_PUBLISHED_ENTRIES};
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

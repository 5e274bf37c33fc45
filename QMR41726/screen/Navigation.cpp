// Moving through the rows, confirming the current row, leaving without a choice, and the key
// handlers of the grid and the filter box that lead there.

#include "Cli_Qmr41726.h"

#include <qmr41726/ui/forms/Messages.h>

using namespace qmr;

namespace {

/// Whether the modifiers held are Alt and nothing else.
bool onlyAlt(TShiftState shift) {
    return shift == TShiftState(TShiftState::ssAlt);
}

} // namespace

/// The data set the grid shows, or nullptr before one is bound.
TDataSet* TfrmPesquisa::dataSet() const {
    return dtsPesquisa ? dtsPesquisa->dataSet() : nullptr;
}

void TfrmPesquisa::sbtPrimeiroClick(TObject* /*Sender*/) {
    if (TDataSet* data = dataSet())
        data->first();
}

void TfrmPesquisa::sbtRolarCimaClick(TObject* /*Sender*/) {
    if (TDataSet* data = dataSet())
        data->prior();
}

void TfrmPesquisa::sbtRolarBaixoClick(TObject* /*Sender*/) {
    if (TDataSet* data = dataSet())
        data->next();
}

void TfrmPesquisa::sbtUltimoClick(TObject* /*Sender*/) {
    if (TDataSet* data = dataSet())
        data->last();
}

/// Confirms the current row: the data set keeps the search filter and its position, which is how
/// the caller learns the choice. The close request is handled once back in the modal loop.
void TfrmPesquisa::sbtEnterClick(TObject* /*Sender*/) {
    if (!sbtEnter->enabled())
        return;
    boPesqOK = true;
    PostMessageA(handle(), WM_CLOSE, 0, 0);
}

/// Leaves without a choice and puts back the filter text the search began with. The Filtered
/// switch stays as it is: the data set re-evaluates a changed text while filtered.
void TfrmPesquisa::sbtSairClick(TObject* /*Sender*/) {
    boPesqOK = false;
    if (TDataSet* data = dataSet())
        data->setFilter(OriginalFilter);
    PostMessageA(handle(), WM_CLOSE, 0, 0);
}

/// Enter can only confirm while there is a row to confirm.
void TfrmPesquisa::applyEnterButtonRule() {
    const TDataSet* data = dataSet();
    sbtEnter->setEnabled(data && !data->isEmpty());
}

/// Esc leaves, Enter confirms when it can, and Alt+F4 is swallowed so the window stays open.
void TfrmPesquisa::edtFiltroKeyDown(TObject* /*Sender*/, WORD& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE)
        sbtSair->click();
    if (Key == VK_RETURN && sbtEnter->enabled())
        sbtEnter->click();
    if (Key == VK_F4 && onlyAlt(Shift))
        Key = 0;
}

/// As the filter box's: Confirm itself refuses while Enter is disabled.
void TfrmPesquisa::dbgPesquisaKeyDown(TObject* /*Sender*/, WORD& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE)
        sbtSair->click();
    if (Key == VK_RETURN)
        sbtEnter->click();
    if (Key == VK_F4 && onlyAlt(Shift))
        Key = 0;
}

/// The form goes once the close has been handled; the entry point frees it first as a rule,
/// which cancels this.
void TfrmPesquisa::FormClose(TObject* /*Sender*/, TCloseAction& /*Action*/) {
    release();
}

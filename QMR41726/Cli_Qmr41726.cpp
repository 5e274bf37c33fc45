// The screen unit's variables and the entry point the host calls: create the search screen, take
// the caller's parameters, prepare the data set, show the screen and report the choice.

#include "Cli_Qmr41726.h"

#include <qmr41726/framework/Mensagem.h>
#include <qmr41726/rtl/Exception.h>

#include <memory>

using namespace qmr;

TfrmPesquisa* frmPesquisa = nullptr;
AnsiString stFilter;
AnsiString stColuna;

void initializeCliQmr41726() {
    frmPesquisa = nullptr;
}

void finalizeCliQmr41726() {
    stFilter.clear();
    stColuna.clear();
}

namespace {

/// The form of one call: freed when the call ends, however it ends, and `frmPesquisa` cleared
/// first so that nothing sees a form being destroyed.
class TFormOfTheCall {
public:
    TFormOfTheCall() = default;
    TFormOfTheCall(const TFormOfTheCall&) = delete;
    TFormOfTheCall& operator=(const TFormOfTheCall&) = delete;
    ~TFormOfTheCall() {
        frmPesquisa = nullptr;
        m_form.reset();
    }

    TfrmPesquisa& create() {
        m_form = std::make_unique<TfrmPesquisa>();
        frmPesquisa = m_form.get();
        return *m_form;
    }

private:
    std::unique_ptr<TfrmPesquisa> m_form;
};

/// Shows a set-up error the way the host suite shows every error of a screen.
void reportError(const Exception& error) {
    Mensagem(error.Message(), "", "N", "N", TTipoMsg(3), "", "002", 0, nullptr);
}

} // namespace

bool CriaTelaQmr41726(const Variant* arParams, int arParamsHigh, [[maybe_unused]] OleVariant& oleRetorno) {
    const TParams params =
        arParams && arParamsHigh >= 0 ? TParams(arParams, arParams + arParamsHigh + 1) : TParams();
    TFormOfTheCall call;
    try {
        frmPesquisa = nullptr;
        TfrmPesquisa& form = call.create();
        form.InicializaForm(params);
        form.PreparaPesquisa(form.cdsPesquisa);
        form.showModal();
        return form.boPesqOK;
    } catch (const Exception& error) {
        reportError(error);
        return false;
    }
}

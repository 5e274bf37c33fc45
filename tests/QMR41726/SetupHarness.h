#pragma once
// Helpers of the search screen's set-up, entry and layout tests: the host's application object,
// a recorder of Mensagem calls, sample data sets and a call of the real entry point that runs a
// callback while the screen is shown and then closes it.

#include "Cli_Qmr41726.h"

#include <qmr41726/data/store/TColumnStore.h>
#include <qmr41726/framework/Mensagem.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

namespace qmr {
class TApplication;
} // namespace qmr

/// The host's application object, created on first use for the whole test program.
qmr::TApplication& testApplication();

/// One call of Mensagem, with every argument as passed.
struct TMensagemCall {
    qmr::AnsiString message, complement, confirm, cancel;
    qmr::TTipoMsg kind;
    qmr::AnsiString title, code;
    int time;
    qmr::TClientDataSet* dataSet;
};

/// Records every Mensagem call while it lives; the default routine is back afterwards.
class TMensagemRecorder {
public:
    TMensagemRecorder();
    ~TMensagemRecorder();
    TMensagemRecorder(const TMensagemRecorder&) = delete;
    TMensagemRecorder& operator=(const TMensagemRecorder&) = delete;
    const std::vector<TMensagemCall>& calls() const noexcept { return m_calls; }

private:
    std::vector<TMensagemCall> m_calls;
};

/// Product rows: CODIGO integer, DESCRICAO string(40), UNIDADE string(3), PRECO float; the fields
/// named in `hidden` are invisible.
std::shared_ptr<const qmr::TColumnStore> productStore(std::vector<qmr::AnsiString> hidden = {});
/// A store of the given string fields (size 10 each) with `rows` rows of short texts.
std::shared_ptr<const qmr::TColumnStore> stringStore(const std::vector<qmr::AnsiString>& fields,
                                                     int rows = 2);

/// What one call of the entry point came to.
struct TScreenOutcome {
    bool result = false;
    /// Whether the screen was shown (the callback ran).
    bool shown = false;
};

/// Calls CriaTelaQmr41726 with `params`. Once the screen is shown, `whileShown` runs with the
/// form, then the screen is asked to close (WM_CLOSE) unless the callback closed it already.
TScreenOutcome callScreen(const TParams& params, const std::function<void(TfrmPesquisa&)>& whileShown = {},
                          qmr::OleVariant* oleRetorno = nullptr);
/// The parameter list a host builds for a data set and a flag.
TParams paramsFor(qmr::TDataSet& dataSet, qmr::AnsiString flag = "N");

/// Prints a font readably in test failures.
inline void PrintTo(const qmr::TFont& font, std::ostream* out) {
    *out << "{" << font.name << ", " << font.height << ", 0x" << std::hex << font.color << std::dec
         << (font.bold ? ", bold" : "") << ", charset " << font.charset << "}";
}

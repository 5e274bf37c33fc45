#pragma once
// The host framework's message box routine and form translation.

#include "host/QmrRuntimeExport.h"
#include "host/rtl/AnsiString.h"

#include <functional>

namespace qmr {

class TClientDataSet;
class TForm;

/// Kinds of message box. The screen passes the one with ordinal 3, the error kind.
enum class TTipoMsg { tmInformacao = 0, tmAviso = 1, tmConfirmacao = 2, tmErro = 3, tmPergunta = 4 };

/// Shows a message to the user; returns when the user has seen it. The default shows a modal
/// message box; a host may install its own routine (scripted runs record the text instead).
QMR_RUNTIME_EXPORT void Mensagem(const AnsiString& stMensagem, const AnsiString& stComplemento,
                                 const AnsiString& stConfirma, const AnsiString& stCancela, TTipoMsg tipo,
                                 const AnsiString& stTitulo, const AnsiString& stCodigo, int inTempo,
                                 TClientDataSet* cdsDados);

using TMensagemRoutine =
    std::function<void(const AnsiString&, const AnsiString&, const AnsiString&, const AnsiString&, TTipoMsg,
                       const AnsiString&, const AnsiString&, int, TClientDataSet*)>;
/// Installs the host's routine; nullptr restores the default message box.
QMR_RUNTIME_EXPORT void setMensagemRoutine(TMensagemRoutine routine);

/// Translates the form's texts (captions, hints, titles) through the host's table.
QMR_RUNTIME_EXPORT void Trad(TForm* form);
/// The host's translation table: original text to translated text. Empty by default (identity).
QMR_RUNTIME_EXPORT void setTradTable(std::function<AnsiString(const AnsiString&)> translate);

} // namespace qmr

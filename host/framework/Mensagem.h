#pragma once
// The host framework's message box routine and form translation.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/rtl/AnsiString.h>

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

/// A message routine: takes Mensagem's arguments in Mensagem's order.
using TMensagemRoutine =
    std::function<void(const AnsiString&, const AnsiString&, const AnsiString&, const AnsiString&, TTipoMsg,
                       const AnsiString&, const AnsiString&, int, TClientDataSet*)>;
/// Installs the host's routine; nullptr restores the default message box.
QMR_RUNTIME_EXPORT void setMensagemRoutine(TMensagemRoutine routine);

/// Translates the form's texts (its caption, the keys' captions, the controls' hints and
/// accessible names) to the current language (setLanguage), or through the host's own table
/// when it set one.
QMR_RUNTIME_EXPORT void Trad(TForm* form);
/// The host's own translation table: original text to translated text. It takes the place of
/// the runtime's catalogues; an empty function (the default) gives them back.
QMR_RUNTIME_EXPORT void setTradTable(std::function<AnsiString(const AnsiString&)> translate);

} // namespace qmr

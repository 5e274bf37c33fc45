#include "host/framework/Mensagem.h"

#include "host/framework/TBlendedButton.h"
#include "host/ui/QtText.h"
#include "host/ui/TApplication.h"
#include "host/ui/TEdit.h"
#include "host/ui/TForm.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace qmr {

namespace {

// The host's replacements; empty means the defaults below.
TMensagemRoutine& mensagemRoutine() {
    static TMensagemRoutine routine;
    return routine;
}

std::function<AnsiString(const AnsiString&)>& tradTable() {
    static std::function<AnsiString(const AnsiString&)> translate;
    return translate;
}

QMessageBox::Icon iconOf(TTipoMsg tipo) {
    switch (tipo) {
    case TTipoMsg::tmErro:
        return QMessageBox::Critical;
    case TTipoMsg::tmAviso:
        return QMessageBox::Warning;
    case TTipoMsg::tmConfirmacao:
    case TTipoMsg::tmPergunta:
        return QMessageBox::Question;
    case TTipoMsg::tmInformacao:
        break;
    }
    return QMessageBox::Information;
}

/// The default routine: a modal message box, or the standard error stream where none can be
/// shown.
void showMessageBox(const AnsiString& message, const AnsiString& complement, TTipoMsg tipo,
                    const AnsiString& title) {
    if (!TApplication::canShowMessageBox()) {
        std::fprintf(stderr, "%s\n", ansiToUtf8(message).c_str());
        return;
    }
    const AnsiString& caption = !title.empty() || !Application ? title : Application->title();
    QMessageBox box(iconOf(tipo), toQString(caption), toQString(message), QMessageBox::Ok);
    if (!complement.empty())
        box.setInformativeText(toQString(complement));
    box.exec();
}

AnsiString translated(const AnsiString& text) {
    const auto& translate = tradTable();
    return text.empty() || !translate ? text : translate(text);
}

} // namespace

void Mensagem(const AnsiString& stMensagem, const AnsiString& stComplemento, const AnsiString& stConfirma,
              const AnsiString& stCancela, TTipoMsg tipo, const AnsiString& stTitulo,
              const AnsiString& stCodigo, int inTempo, TClientDataSet* cdsDados) {
    if (const TMensagemRoutine& routine = mensagemRoutine()) {
        routine(stMensagem, stComplemento, stConfirma, stCancela, tipo, stTitulo, stCodigo, inTempo,
                cdsDados);
        return;
    }
    showMessageBox(stMensagem, stComplemento, tipo, stTitulo);
}

void setMensagemRoutine(TMensagemRoutine routine) {
    mensagemRoutine() = std::move(routine);
}

void Trad(TForm* form) {
    if (!form || !tradTable())
        return;
    form->setCaption(translated(form->caption()));
    for (int i = 0; i < form->componentCount(); ++i) {
        TComponent* component = form->component(i);
        if (auto* button = dynamic_cast<TBlendedButton*>(component))
            button->setCaption(translated(button->caption()));
        else if (auto* edit = dynamic_cast<TEdit*>(component))
            edit->setText(translated(edit->text()));
    }
}

void setTradTable(std::function<AnsiString(const AnsiString&)> translate) {
    tradTable() = std::move(translate);
}

} // namespace qmr

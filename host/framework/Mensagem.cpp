#include <qmr41726/framework/Mensagem.h>

#include <qmr41726/framework/FrameworkLogging.h>
#include <qmr41726/framework/controls/TBlendedButton.h>
#include <qmr41726/ui/QtText.h>
#include <qmr41726/ui/RepresentableText.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/controls/TEdit.h>
#include <qmr41726/ui/forms/TForm.h>

#include <QApplication>
#include <QMessageBox>

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

/// The default routine: a modal message box, or the framework's log where none can be shown.
void showMessageBox(const AnsiString& message, const AnsiString& complement, TTipoMsg tipo,
                    const AnsiString& title) {
    if (!TApplication::canShowMessageBox()) {
        qCWarning(lcFramework).noquote() << toQString(message);
        return;
    }
    const AnsiString& caption = !title.empty() || !Application ? title : Application->title();
    QMessageBox box(iconOf(tipo), toQString(caption), toQString(message), QMessageBox::Ok);
    if (!complement.empty())
        box.setInformativeText(toQString(complement));
    box.exec();
}

/// The catalogue's context of the texts Trad translates: one table for the forms of the suite.
constexpr auto kTradContext = "Trad";

/// `text` through the host's own table when it set one, else through the catalogue of the
/// current language; a text the catalogue does not hold stays as it is.
AnsiString translated(const AnsiString& text) {
    if (text.empty())
        return text;
    if (const auto& translate = tradTable())
        return translate(text);
    // The catalogue's sources are UTF-8; the form's texts are Windows-1252.
    const QByteArray source = toQString(text).toUtf8();
    return representableAnsi(QCoreApplication::translate(kTradContext, source.constData()));
}

/// Translates the texts one component carries: every control's hint and accessible name, a
/// key's caption and an edit box's text.
void translateComponent(TComponent* component) {
    auto* control = dynamic_cast<TControl*>(component);
    if (!control)
        return;
    control->setHint(translated(control->hint()));
    control->setAccessibleName(translated(control->accessibleName()));
    if (auto* button = dynamic_cast<TBlendedButton*>(control))
        button->setCaption(translated(button->caption()));
    else if (auto* edit = dynamic_cast<TEdit*>(control))
        edit->setText(translated(edit->text()));
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
    if (!form)
        return;
    form->setCaption(translated(form->caption()));
    for (int i = 0; i < form->componentCount(); ++i)
        translateComponent(form->component(i));
}

void setTradTable(std::function<AnsiString(const AnsiString&)> translate) {
    tradTable() = std::move(translate);
}

} // namespace qmr

#include "CallLog.h"

#include <qmr41726/framework/Mensagem.h>
#include <qmr41726/ui/TApplication.h>

#include <QApplication>
#include <QMessageBox>

using namespace qmr;

namespace {

QString fromAnsi(const AnsiString& text) {
    return QString::fromStdString(ansiToUtf8(text));
}

} // namespace

CallLog::CallLog(TApplication& application, Mode mode) : m_application(application), m_mode(mode) {
    setMensagemRoutine([this](const AnsiString& stMensagem, const AnsiString& stComplemento,
                              const AnsiString&, const AnsiString&, TTipoMsg, const AnsiString&,
                              const AnsiString&, int, TClientDataSet*) {
        QString text = fromAnsi(stMensagem);
        if (!stComplemento.empty())
            text += '\n' + fromAnsi(stComplemento);
        keep(m_messages, text);
        show(fromAnsi(m_application.title()), text);
    });
    m_application.setExceptionHandler([this](const std::exception& error) {
        const QString text = fromAnsi(error.what());
        keep(m_errors, text);
        show(fromAnsi(m_application.title()), text);
    });
}

CallLog::~CallLog() {
    setMensagemRoutine(nullptr);
    m_application.setExceptionHandler(nullptr);
}

void CallLog::keep(QStringList& list, const QString& text) {
    if (list.size() < kMaxEntries)
        list << text;
    else
        ++m_dropped;
}

void CallLog::show(const QString& title, const QString& text) const {
    if (m_mode != Mode::Interactive)
        return;
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowIcon(m_application.icon());
    box.exec();
}

#include "ScreenHost.h"

#include "Cli_Qmr41726.h"
#include <qmr41726/framework/Mensagem.h>
#include <qmr41726/ui/forms/TClassRegistry.h>

#include <QApplication>

#include <stdexcept>

using namespace qmr;

ScreenHost::ScreenHost(const std::string& title, std::function<void(std::string)> onError) {
    // The runtime's application stands on Qt's.
    if (!QApplication::instance())
        throw std::logic_error(title + " needs a QApplication");
    m_application = std::make_unique<TApplication>();
    m_application->setTitle(title);
    registerRuntimeClasses();
    initializeCliQmr41726();
    Application->setExceptionHandler([onError](const std::exception& error) { onError(error.what()); });
    setMensagemRoutine([onError](const AnsiString& text, const AnsiString& complement, const AnsiString&,
                                 const AnsiString&, TTipoMsg, const AnsiString&, const AnsiString&, int,
                                 TClientDataSet*) { onError(text + " " + complement); });
}

ScreenHost::~ScreenHost() {
    finalizeCliQmr41726();
    setMensagemRoutine(nullptr);
}

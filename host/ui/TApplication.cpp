#include <qmr41726/ui/TApplication.h>

#include <qmr41726/ui/QtText.h>
#include <qmr41726/ui/UiLogging.h>

#include <QApplication>
#include <QMessageBox>

namespace qmr {

TApplication* Application = nullptr;

namespace {

/// The message of an error as the user should read it.
QString messageText(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        return toQString(own->Message());
    // Other exceptions come from the standard library or Qt-free code, which speaks UTF-8.
    return QString::fromUtf8(error.what());
}

} // namespace

bool TApplication::canShowMessageBox() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

namespace {

/// The default error handler: the message goes to the runtime's log always (the standard error
/// stream or the journal), and to a message box where one can be shown. The program goes on
/// either way.
void showError(const std::exception& error) {
    const QString text = messageText(error);
    qCWarning(lcUi).noquote() << text;
    if (!TApplication::canShowMessageBox())
        return;
    const QString title = Application ? toQString(Application->title()) : QString();
    QMessageBox::critical(nullptr, title, text);
}

} // namespace

struct TApplication::Impl {
    AnsiString title;
    QIcon icon;
    TFit fit;
    ExceptionHandler handler;
};

TApplication::TApplication() : m_impl(std::make_unique<Impl>()) {
    Application = this;
}

TApplication::~TApplication() {
    if (Application == this)
        Application = nullptr;
}

void TApplication::handleException(const std::exception& error) {
    try {
        if (m_impl->handler)
            m_impl->handler(error);
        else
            showError(error);
    } catch (const std::exception& nested) {
        // A failing error handler must not take the program down: it is the last resort.
        qCCritical(lcUi) << "error handler failed:" << nested.what();
    } catch (...) {
        qCCritical(lcUi) << "error handler failed";
    }
}

void TApplication::setExceptionHandler(ExceptionHandler handler) {
    m_impl->handler = std::move(handler);
}

const AnsiString& TApplication::title() const noexcept {
    return m_impl->title;
}

void TApplication::setTitle(AnsiString title) {
    m_impl->title = std::move(title);
}

const QIcon& TApplication::icon() const noexcept {
    return m_impl->icon;
}

void TApplication::setIcon(QIcon icon) {
    m_impl->icon = std::move(icon);
}

const TFit& TApplication::fit() const noexcept {
    return m_impl->fit;
}

void TApplication::setFit(TFit fit) {
    m_impl->fit = std::move(fit);
}

} // namespace qmr

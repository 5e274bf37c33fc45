#pragma once
// The host application as the runtime sees it: title, icon, the error handler and hooks.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/ui/TFit.h>

#include <QIcon>

#include <functional>
#include <memory>

namespace qmr {

class TForm;

/// The application object: one per host process, created by the host before any form.
class QMR_RUNTIME_EXPORT TApplication {
public:
    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    /// The application's title, Windows-1252; forms take it as their caption.
    ///@{
    const AnsiString& title() const noexcept;
    void setTitle(AnsiString title);
    ///@}
    /// The application's icon; forms take it as theirs.
    ///@{
    const QIcon& icon() const noexcept;
    void setIcon(QIcon icon);
    ///@}
    /// How forms fit the screen when they are shown (automatic unless the host says otherwise).
    ///@{
    const TFit& fit() const noexcept;
    void setFit(TFit fit);
    ///@}

    /// Hands an error that escaped an event handler to the error handler. The default shows the
    /// message in a message box and the program goes on.
    void handleException(const std::exception& error);
    /// Whether a modal message box could be seen and answered: a widget application on a platform
    /// with a real display. On the offscreen platform (tests, scripted runs) it would wait forever.
    static bool canShowMessageBox();

    /// An error handler: receives the error, which the runtime's are as Exception (message in
    /// Windows-1252).
    using ExceptionHandler = std::function<void(const std::exception&)>;
    /// Replaces the error handler (nullptr restores the default).
    void setExceptionHandler(ExceptionHandler handler);

    /// Called when a form has been shown and its modal loop is about to run (scripted hosts start
    /// their script here), and when a modal loop has ended, before showModal returns.
    ///@{
    std::function<void(TForm&)> onModalShown;
    std::function<void(TForm&)> onModalClosed;
    ///@}
    /// Called once when a modal form's close has been accepted (its OnClose let it close, or it
    /// was released). The loop ends only once control is back in it, so the window is still up
    /// for a moment; from here on the form is closing and takes no more input that matters.
    std::function<void(TForm&)> onModalCloseAccepted;

private:
    // Behind a pointer so that the application object's settings can grow without a new SOVERSION:
    // a host creates this object, so its size is compiled into the host.
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

/// The host's application object; set by the host (TApplication's constructor sets it).
extern QMR_RUNTIME_EXPORT TApplication* Application;

/// Runs `handler`, handing any Exception or std::exception it throws to the application's error
/// handler. Every call from Qt into a bound handler goes through here: no exception ever crosses
/// a Qt frame. Returns false when the handler failed, so a caller can skip what depended on it.
template <class F> bool dispatchHandler(F&& handler) noexcept {
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        if (Application)
            Application->handleException(error);
    } catch (...) {
        if (Application)
            Application->handleException(Exception("Unknown exception in an event handler"));
    }
    return false;
}

} // namespace qmr

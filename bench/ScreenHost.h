#pragma once
// The runtime set up as a host sets it up before calling the search screen, for the benchmark and
// the soak, which drive the real screen in a process of their own.

#include <qmr41726/ui/TApplication.h>

#include <functional>
#include <memory>
#include <string>

/// While it lives: an application with the given title, the runtime's classes registered, the
/// package initialised, and every error the screen reports (an exception reaching the
/// application, a Mensagem) handed to `onError` instead of shown in a message box nobody would
/// close. Ends the package and the message routine when it goes. Needs a QApplication.
class ScreenHost {
public:
    ScreenHost(const std::string& title, std::function<void(std::string)> onError);
    ~ScreenHost();
    ScreenHost(const ScreenHost&) = delete;
    ScreenHost& operator=(const ScreenHost&) = delete;

private:
    std::unique_ptr<qmr::TApplication> m_application;
};

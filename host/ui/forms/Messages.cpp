#include <qmr41726/ui/forms/Messages.h>

#include <qmr41726/ui/TApplication.h>

#include <QCoreApplication>

namespace qmr {

namespace {

/// Hands one message to the form's handlers; they have finished when this returns.
LRESULT deliver(TForm& form, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_CHAR:
        form.dispatchKeyPress(nullptr, char(wParam & 0xFF));
        break;
    case WM_KEYDOWN:
        form.dispatchKeyDown(nullptr, WORD(wParam), TShiftState());
        break;
    case WM_CLOSE:
        dispatchHandler([&form] { form.close(); });
        break;
    default:
        break; // other messages mean nothing to a form of this runtime
    }
    return 0;
}

} // namespace

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    TForm* form = TForm::fromHandle(window);
    return form ? deliver(*form, message, wParam) : 0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !TForm::fromHandle(window))
        return false;
    // The handle is looked up again on delivery: a form freed meanwhile is gone from the
    // registry (handles are never reused), so its messages are dropped.
    QMetaObject::invokeMethod(
        app,
        [window, message, wParam] {
            if (TForm* form = TForm::fromHandle(window))
                deliver(*form, message, wParam);
        },
        Qt::QueuedConnection);
    return true;
}

} // namespace qmr

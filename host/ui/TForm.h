#pragma once
// Forms: top-level windows with key preview, a modal loop and window messages.

#include "host/ui/Layout.h"
#include "host/ui/TControl.h"

#include <QIcon>

#include <cstdint>

/// Opaque window handle for SendMessageA / PostMessageA.
using HWND = std::uintptr_t;

/// A top-level window. Subclasses load their layout in their constructor and then call create().
class TForm : public TWinControl {
public:
    TForm();
    ~TForm() override;

    /// Runs OnCreate once the component tree exists (a form's creation order: tree first).
    void create();

    const AnsiString& caption() const noexcept;
    void setCaption(const AnsiString& caption);
    void setIcon(const QIcon& icon);
    QIcon icon() const;
    void setClientSize(int width, int height);
    bool keyPreview() const noexcept;
    void setKeyPreview(bool on);

    /// Shows the form modally: blocks in a modal loop until the form is closed. Returns 0.
    int showModal();
    /// Asks the form to close: runs OnClose and ends the modal loop unless the action is caNone.
    void close();
    /// Frees the form once the current message has been handled; freeing it first cancels this.
    void release();
    /// True while the form is shown in its modal loop.
    bool modal() const noexcept;
    /// The window handle; valid from construction until the form is freed.
    HWND handle() const noexcept;
    /// The focused control of this form, or nullptr.
    TWinControl* activeControl() const;

    /// The form shown in the innermost running modal loop, or nullptr.
    static TForm* activeModalForm() noexcept;
    /// The live form with this handle, or nullptr.
    static TForm* fromHandle(HWND handle) noexcept;

    TNotifyEvent onCreate;
    TCloseEvent onClose;
    // onKeyDown and onKeyPress (from TWinControl) are the form's preview handlers while
    // keyPreview is on.

    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

    /// Runs a physical key-down through the form: form's OnKeyDown (preview) first, then the
    /// focused control's, then the default handling unless the code was set to 0. Returns the
    /// key code as it came out. Used by the key routing and by SendMessageA.
    WORD dispatchKeyDown(TWinControl* target, WORD key, TShiftState shift);
    /// Runs a character through the form: OnKeyPress (preview) first, then the focused control's.
    char dispatchKeyPress(TWinControl* target, char key);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

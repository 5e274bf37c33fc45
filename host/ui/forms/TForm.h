#pragma once
// Forms: top-level windows with key preview, a modal loop and window messages.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/ui/controls/TControl.h>
#include <qmr41726/ui/forms/Layout.h>

#include <QIcon>

#include <cstdint>

namespace qmr {

/// Opaque window handle for SendMessageA / PostMessageA.
using HWND = std::uintptr_t;

/// A top-level window. Subclasses load their layout in their constructor and then call create().
class QMR_RUNTIME_EXPORT TForm : public TWinControl {
public:
    TForm();
    ~TForm() override;

    /// Runs OnCreate once the component tree exists (a form's creation order: tree first).
    void create();

    /// The window title (Windows-1252); a borderless form has no caption bar to show it.
    ///@{
    const AnsiString& caption() const noexcept;
    void setCaption(const AnsiString& caption);
    ///@}
    /// The window's icon.
    ///@{
    void setIcon(const QIcon& icon);
    QIcon icon() const;
    ///@}
    /// Fixes the client area's size (design pixels); the user cannot resize the window. A window
    /// without a border that the window system makes larger shows the form centred in it.
    void setClientSize(int width, int height);
    /// The client area's size in design pixels.
    ///@{
    int clientWidth() const;
    int clientHeight() const;
    ///@}
    /// Without a border the window has no caption bar or frame (BorderStyle bsNone).
    ///@{
    bool borderless() const noexcept;
    void setBorderless(bool on);
    ///@}
    /// Centred on the primary screen whenever it is shown (Position poScreenCenter).
    ///@{
    bool screenCentered() const noexcept;
    void setScreenCentered(bool on);
    ///@}
    /// Whether the form sees every key before the focused control does (KeyPreview): its onKeyDown
    /// and onKeyPress run first and may stop the key there.
    ///@{
    bool keyPreview() const noexcept;
    void setKeyPreview(bool on);
    ///@}

    /// The scale the form is shown at: 1 as designed. Every control, font, glyph and shape of the
    /// form is drawn at it, and touches land on what they hit.
    double scale() const override;
    /// Shows the form at `factor` (showModal sets it as the application's fit asks).
    void setScale(double factor);

    /// Shows the form modally: blocks in a modal loop until the form is closed. Returns 0. The form
    /// first takes the scale the application's fit gives it on the primary screen.
    int showModal();
    /// Asks the form to close: runs OnClose and ends the modal loop unless the action is caNone.
    void close();
    /// Asks for the form to be freed once the current message has been handled: the modal loop
    /// ends and the window hides. The form's owner (whoever created it) frees it, which is the
    /// only free, so there is never a second one to cancel.
    void release();
    /// Whether release() has been called.
    bool releaseRequested() const noexcept;
    /// True while the form is shown in its modal loop.
    bool modal() const noexcept;
    /// The window handle; valid from construction until the form is freed.
    HWND handle() const noexcept;
    /// The focused control of this form, or nullptr.
    TWinControl* activeControl() const;
    /// Gives the focus to the first control in tab order that can take it (done when shown).
    void focusFirstControl();

    /// The form shown in the innermost running modal loop, or nullptr.
    static TForm* activeModalForm() noexcept;
    /// The live form with this handle, or nullptr.
    static TForm* fromHandle(HWND handle) noexcept;

    /// The handler create() runs once the component tree exists.
    TNotifyEvent onCreate;
    /// The handler close() runs; it may change the action or refuse (caNone).
    TCloseEvent onClose;
    // onKeyDown and onKeyPress (from TWinControl) are the form's preview handlers while
    // keyPreview is on.

    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

    /// Runs a key-down through the form's handlers: the form's OnKeyDown (preview, while
    /// keyPreview is on) first, then `target`'s unless the code was set to 0. A null target, or
    /// the form itself, runs the form's own OnKeyDown alone, as a message sent to the form does.
    /// Returns the code as it came out: 0 means the key goes no further. A handler that raised
    /// stops the key too.
    WORD dispatchKeyDown(TWinControl* target, WORD key, TShiftState shift);
    /// Runs a character the same way through OnKeyPress; returns it as it came out (0: refused).
    char dispatchKeyPress(TWinControl* target, char key);

protected:
    void placeWidget() override;
    QPoint clientOrigin() const override;
    void followWindowSize() override;

private:
    void runKeyDown(TWinControl& control, WORD& key, TShiftState shift);
    void runKeyPress(TWinControl& control, char& key);
    void endModal();
    void fitToScreen();
    void placeOnScreen();
    void acceptOldCreateOrder(const TPropertyValue& value);

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qmr

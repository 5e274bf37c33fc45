#pragma once
#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/ui/controls/TControl.h>

class QLineEdit;

namespace qmr {

/// A single-line edit box. Read-only means no typing and no editing, yet it takes the focus.
class QMR_RUNTIME_EXPORT TEdit : public TWinControl {
public:
    TEdit();
    /// The box's text, Windows-1252: what the program set, or what the user typed without the
    /// characters the code page has no byte for.
    ///@{
    const AnsiString& text() const noexcept;
    void setText(const AnsiString& text);
    ///@}
    /// Whether the user may only read the text, not type into it.
    ///@{
    bool readOnly() const noexcept;
    void setReadOnly(bool on);
    ///@}
    /// The most characters the user can type; 0 for no limit.
    ///@{
    int maxLength() const noexcept { return m_maxLength; }
    void setMaxLength(int length);
    ///@}
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

private:
    QLineEdit* lineEdit() const noexcept;

    AnsiString m_text;
    bool m_readOnly = false;
    int m_maxLength = 0;
};

} // namespace qmr

#pragma once
#include "host/ui/TControl.h"

/// A single-line edit box. Read-only means no typing and no editing, yet it takes the focus.
class TEdit : public TWinControl {
public:
    TEdit();
    const AnsiString& text() const noexcept;
    void setText(const AnsiString& text);
    bool readOnly() const noexcept;
    void setReadOnly(bool on);
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

private:
    AnsiString m_text;
    bool m_readOnly = false;
};

#pragma once
#include "host/framework/TBlendedShape.h"

/// A windowless touch key drawn as a rounded shape with its caption. Never takes the focus; a
/// disabled button ignores touches.
class TBlendedButton : public TBlendedShape {
public:
    TBlendedButton();
    const AnsiString& caption() const noexcept { return m_caption; }
    void setCaption(const AnsiString& caption);
    TColor downColor() const noexcept { return m_downColor; }
    TColor downFontColor() const noexcept { return m_downFontColor; }
    TColor disabledColor() const noexcept { return m_disabledColor; }
    TColor disabledFontColor() const noexcept { return m_disabledFontColor; }
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

private:
    AnsiString m_caption;
    TColor m_downColor = clWindowText;
    TColor m_downFontColor = clWindow;
    TColor m_disabledColor = 0xCFE7E7;
    TColor m_disabledFontColor = clSilver;
};

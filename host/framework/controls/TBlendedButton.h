#pragma once
#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/framework/controls/TBlendedShape.h>

namespace qmr {

/// A windowless touch key drawn as a rounded shape with its caption. Never takes the focus; a
/// disabled button ignores touches.
class QMR_RUNTIME_EXPORT TBlendedButton : public TBlendedShape {
public:
    TBlendedButton();
    /// The text on the key's face, Windows-1252.
    ///@{
    const AnsiString& caption() const noexcept { return m_caption; }
    void setCaption(const AnsiString& caption);
    ///@}
    /// The face colour while a touch holds the key down.
    ///@{
    TColor downColor() const noexcept { return m_downColor; }
    void setDownColor(TColor color);
    ///@}
    /// The caption's colour while a touch holds the key down.
    ///@{
    TColor downFontColor() const noexcept { return m_downFontColor; }
    void setDownFontColor(TColor color);
    ///@}
    /// The face colour of a disabled key.
    ///@{
    TColor disabledColor() const noexcept { return m_disabledColor; }
    void setDisabledColor(TColor color);
    ///@}
    /// The caption's colour on a disabled key.
    ///@{
    TColor disabledFontColor() const noexcept { return m_disabledFontColor; }
    void setDisabledFontColor(TColor color);
    ///@}
    /// True while a touch holds the key down over it.
    bool down() const noexcept { return m_down; }
    /// A key that stands for a state (Shift, Caps Lock) is checkable; assistive tools then report
    /// whether the state is on. The face looks the same either way.
    ///@{
    bool checkable() const noexcept { return m_checkable; }
    void setCheckable(bool checkable);
    ///@}
    /// Whether a checkable key's state is on; only what assistive tools report changes.
    ///@{
    bool checked() const noexcept { return m_checked; }
    void setChecked(bool checked);
    ///@}
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

protected:
    /// Paints the face in the colour of the key's state (up, down or disabled), then its content.
    void paintShape(QPainter& painter) override;
    /// Draws what stands on the face (the caption here, a glyph on bitmap keys) in `textColor`.
    virtual void paintContent(QPainter& painter, TColor textColor);
    void touchPressed() override;
    void touchMoved(bool inside) override;
    void touchReleased(bool inside) override;
    void enabledChanged() override;
    void appearanceChanged() override;

private:
    void setDown(bool down);

    AnsiString m_caption;
    TColor m_downColor = clWindowText;
    TColor m_downFontColor = clWindow;
    TColor m_disabledColor = 0xE7E7CF;
    TColor m_disabledFontColor = clSilver;
    bool m_down = false;
    bool m_checkable = false;
    bool m_checked = false;
};

} // namespace qmr

#pragma once
// Visual controls: a component with a place on its parent, backed by a Qt widget.

#include "host/ui/Types.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string_view>

class TWinControl;
struct TPropertyValue;
class TEventBinder;

/// A visual component. The control owns its widget; the widget's parent is the parent control's
/// widget (forms and panels), so Qt clips and stacks it there in creation order.
class TControl : public TComponent {
public:
    ~TControl() override;

    /// The Qt widget behind the control, for the host application and tests (input, grabbing).
    QWidget* widget() const noexcept;

    TWinControl* parent() const noexcept;
    void setParent(TWinControl* parent);

    int left() const;
    int top() const;
    int width() const;
    int height() const;
    void setBounds(int left, int top, int width, int height);

    bool enabled() const;
    void setEnabled(bool enabled);
    bool visible() const;
    void setVisible(bool visible);

    const TFont& font() const noexcept;
    void setFont(const TFont& font);
    TColor color() const noexcept;
    void setColor(TColor color);

    /// Paints the control now, not at the next idle moment.
    void repaint();

    /// Runs the bound click handler, as a touch would (a disabled control ignores it).
    virtual void click();
    TNotifyEvent onClick;

    /// Sets one layout property ("Left", "Font.Height", "Brush.Color", "OnClick", ...). Returns
    /// false when the class has no such property; the loader turns that into an error.
    virtual bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events);

protected:
    explicit TControl(std::unique_ptr<QWidget> widget);
    /// Called after font or colour changed, to pass them on to the widget.
    virtual void appearanceChanged();

private:
    QPointer<QWidget> m_widget;
    TWinControl* m_parent = nullptr;
    TFont m_font;
    TColor m_color = clBtnFace;
};

/// A control with a window of its own: it can take the focus and receives keys.
class TWinControl : public TControl {
public:
    bool canFocus() const;
    bool focused() const;
    void setFocus();
    int tabOrder() const noexcept;
    void setTabOrder(int order);

    TKeyEvent onKeyDown;
    TKeyPressEvent onKeyPress;

    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

protected:
    using TControl::TControl;

private:
    int m_tabOrder = -1;
};

/// A windowless control: painted on its parent, never takes the focus.
class TGraphicControl : public TControl {
protected:
    explicit TGraphicControl(std::unique_ptr<QWidget> widget);
};

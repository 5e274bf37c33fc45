#pragma once
// Visual controls: a component with a place on its parent, backed by a Qt widget.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/ui/Types.h>

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>
#include <string_view>
#include <vector>

class QPainter;

namespace qmr {

class TWinControl;
class TWinControlWatcher;
struct TPropertyValue;
class TEventBinder;

/// A visual component. The control owns its widget; the widget's parent is the parent control's
/// widget (forms and panels), so Qt clips and stacks it there in creation order.
///
/// Bounds and fonts are design lengths, pixels at 96 per inch as the layout gives them, whatever
/// the scale its form is shown at; the widget has them at that scale.
class QMR_RUNTIME_EXPORT TControl : public TComponent {
public:
    ~TControl() override;

    /// The Qt widget behind the control, for the host application and tests (input, grabbing).
    QWidget* widget() const noexcept;
    /// The control whose widget is `widget` or holds it (a grid's viewport belongs to the grid),
    /// or nullptr when the widget belongs to no control.
    static TControl* fromWidget(const QWidget* widget) noexcept;
    /// Names the component and its widget (the widget's objectName), so that a focused widget
    /// can be traced back to its component by name.
    void setName(AnsiString name);

    /// The control whose client area holds this one; nullptr for a form, or before the layout
    /// places it. Setting it moves the widget into the parent's widget.
    ///@{
    TWinControl* parent() const noexcept;
    void setParent(TWinControl* parent);
    ///@}

    /// The place in the parent's client area; a form's is its place on the screen.
    ///@{
    int left() const;
    int top() const;
    int width() const;
    int height() const;
    void setBounds(int left, int top, int width, int height);
    ///@}
    /// How the control places itself in its parent (alNone: by its bounds).
    TAlign align() const noexcept { return m_align; }
    /// alClient keeps the control covering its parent's client area, also when the parent resizes.
    void setAlign(TAlign align);

    /// The control's own Enabled flag (a disabled parent disables its children too in Qt).
    ///@{
    bool enabled() const;
    void setEnabled(bool enabled);
    ///@}
    /// The control's own Visible flag; a control on a hidden form is still "visible".
    ///@{
    bool visible() const;
    void setVisible(bool visible);
    ///@}

    /// The control's font; setting one ends parentFont.
    ///@{
    const TFont& font() const noexcept;
    void setFont(const TFont& font);
    ///@}
    /// True while the control takes its parent's font (the default until a font is set).
    ///@{
    bool parentFont() const noexcept { return m_parentFont; }
    void setParentFont(bool on);
    ///@}
    /// The background colour (clBtnFace unless the layout sets one).
    ///@{
    TColor color() const noexcept;
    void setColor(TColor color);
    ///@}
    /// The tip shown when the pointer rests on the control, if showHint.
    ///@{
    const AnsiString& hint() const noexcept { return m_hint; }
    void setHint(const AnsiString& hint);
    ///@}
    /// Whether the hint is shown (off by default).
    ///@{
    bool showHint() const noexcept { return m_showHint; }
    void setShowHint(bool on);
    ///@}
    /// What assistive tools (screen readers) call the control; empty lets the widget's own text
    /// speak for it. Trad translates it with the other texts of the form.
    ///@{
    const AnsiString& accessibleName() const noexcept { return m_accessibleName; }
    void setAccessibleName(const AnsiString& name);
    ///@}

    /// Paints the control now, not at the next idle moment.
    void repaint();

    /// The scale the control's form is shown at (1: as designed; a control on no form has 1).
    virtual double scale() const;
    /// Lets `painter`, painting the widget, draw in design pixels: (0, 0) to (width, height)
    /// cover the widget at any scale.
    void scalePainter(QPainter& painter) const;

    /// Runs the bound click handler, whether the control is enabled or not: only touches are
    /// refused by a disabled control, and a handler that must not run then checks for itself.
    /// The handler's exception passes on to the caller; the dispatch wrapper where the event
    /// came in from Qt hands it to the application.
    virtual void click();
    /// The handler click() runs: bound from the layout's OnClick, or set by the host.
    TNotifyEvent onClick;

    /// Sets one layout property ("Left", "Font.Height", "Brush.Color", "OnClick", ...). Returns
    /// false when the class has no such property; the loader turns that into an error.
    virtual bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events);

protected:
    /// Takes `widget` over; the control owns it for its whole life.
    explicit TControl(std::unique_ptr<QWidget> widget);
    /// Called after font or colour changed, to pass them on to the widget.
    virtual void appearanceChanged();
    /// Puts the widget where the bounds say, at the form's scale.
    virtual void placeWidget();
    /// Called when the form's scale changed: the widget takes the new scale.
    virtual void scaleChanged();

private:
    friend class TWinControl;
    void applyAlign();
    void applyHint();
    void inheritFont(const TFont& font);
    bool setFontSubProperty(std::string_view subProperty, const TPropertyValue& value);

    QPointer<QWidget> m_widget;
    TWinControl* m_parent = nullptr;
    /// Design bounds; a form's place is on the screen (its widget's), only the size is kept here.
    QRect m_bounds;
    TFont m_font;
    TColor m_color = clBtnFace;
    TAlign m_align = TAlign::alNone;
    AnsiString m_hint;
    AnsiString m_accessibleName;
    bool m_parentFont = true;
    bool m_showHint = false;
    bool m_enabled = true;
    bool m_visible = true;
};

/// A control with a window of its own: it can take the focus and receives keys.
class QMR_RUNTIME_EXPORT TWinControl : public TControl {
public:
    /// Whether setFocus would succeed: the control and its parents are visible and enabled.
    bool canFocus() const;
    /// Whether the control's widget has the keyboard focus.
    bool focused() const;
    /// Gives the control the keyboard focus.
    void setFocus();
    /// The place in its parent's tab order; -1 until the layout sets TabOrder.
    ///@{
    int tabOrder() const noexcept;
    void setTabOrder(int order);
    ///@}

    /// The child controls, bottom of the stacking order first (their creation order).
    std::vector<TControl*> controls() const;
    /// The child window controls in tab order: by TabOrder, then those without one in
    /// creation order.
    std::vector<TWinControl*> tabOrderedControls() const;

    /// The handler of a key going down while the control has the focus (after its form's, with key
    /// preview).
    TKeyEvent onKeyDown;
    /// The handler of a character typed while the control has the focus (after its form's).
    TKeyPressEvent onKeyPress;

    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;

protected:
    /// Takes `widget` over, as TControl does; the widget can take the focus.
    explicit TWinControl(std::unique_ptr<QWidget> widget);
    /// Puts the alClient children back over the whole client area after a size change.
    void realignControls();
    /// Puts the children's widgets back where their bounds say (after the client origin moved).
    void placeControls();
    /// Where the client area begins in the widget, in the widget's pixels: (0, 0) unless a form's
    /// window was given more room than the form takes.
    virtual QPoint clientOrigin() const;
    /// The control and all its children take the form's new scale.
    void scaleChanged() override;
    /// A window resized by the window system (or the user) takes that size as its design size.
    virtual void followWindowSize();

private:
    friend class TControl;
    friend class TWinControlWatcher;

    int m_tabOrder = -1;
};

/// A windowless control: painted on its parent, never takes the focus.
class QMR_RUNTIME_EXPORT TGraphicControl : public TControl {
protected:
    /// Takes `widget` over, as TControl does; the widget never takes the focus.
    explicit TGraphicControl(std::unique_ptr<QWidget> widget);
};

} // namespace qmr

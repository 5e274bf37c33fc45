#include <qmr41726/ui/controls/TControl.h>

#include <qmr41726/ui/QtText.h>
#include <qmr41726/ui/Scaling.h>
#include <qmr41726/ui/forms/Layout.h>
#include <qmr41726/ui/forms/PropertyValues.h>
#include <qmr41726/ui/forms/TClassRegistry.h>

#include <QEvent>
#include <QPainter>
#include <QVariant>

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

namespace qmr {

namespace {

/// The widget property that leads from a widget back to its control.
constexpr const char* kControlProperty = "qmrComponent";

/// The control whose widget is exactly `widget`.
TControl* controlOf(const QWidget* widget) {
    return static_cast<TControl*>(widget->property(kControlProperty).value<void*>());
}

/// The alignments a control supports.
constexpr TIdentName<TAlign> kAlignments[] = {{"alNone", TAlign::alNone}, {"alClient", TAlign::alClient}};

} // namespace

/// Keeps a window control's alClient children covering it when it is resized, and a window's
/// design size in step with a size the window system gave it.
class TWinControlWatcher : public QObject {
public:
    TWinControlWatcher(TWinControl& control, QWidget& widget) : QObject(&widget), m_control(control) {
        widget.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            m_control.followWindowSize();
            m_control.realignControls();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TWinControl& m_control;
};

// --- TControl ---------------------------------------------------------------------------------

TControl::TControl(std::unique_ptr<QWidget> widget) : m_widget(widget.release()) {
    if (!m_widget)
        return;
    m_widget->setProperty(kControlProperty, QVariant::fromValue<void*>(this));
    m_bounds = m_widget->geometry();
}

TControl::~TControl() {
    // Owned components go first, last created first, so that child widgets are freed by their
    // controls before this widget would free them behind the controls' backs.
    while (componentCount() > 0)
        disown(component(componentCount() - 1)).reset();
    if (!m_widget)
        return;
    m_widget->setProperty(kControlProperty, QVariant());
    delete m_widget.data();
}

QWidget* TControl::widget() const noexcept {
    return m_widget.data();
}

TControl* TControl::fromWidget(const QWidget* widget) noexcept {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (TControl* control = controlOf(w))
            return control;
    }
    return nullptr;
}

void TControl::setName(AnsiString name) {
    if (m_widget)
        m_widget->setObjectName(toQString(name));
    TComponent::setName(std::move(name));
}

TWinControl* TControl::parent() const noexcept {
    return m_parent;
}

void TControl::setParent(TWinControl* parent) {
    m_parent = parent;
    if (!m_widget)
        return;
    m_widget->setParent(parent ? parent->widget() : nullptr);
    if (!parent)
        return;
    // Re-parenting hides a widget; the control's own flag decides.
    m_widget->setVisible(m_visible);
    if (m_parentFont)
        inheritFont(parent->font());
    else if (scale() != 1.0)
        appearanceChanged(); // the font at the scale of the new parent's form
    placeWidget();
    applyAlign();
}

int TControl::left() const {
    if (!m_widget)
        return 0;
    return m_widget->isWindow() ? m_widget->geometry().x() : m_bounds.x();
}
int TControl::top() const {
    if (!m_widget)
        return 0;
    return m_widget->isWindow() ? m_widget->geometry().y() : m_bounds.y();
}
int TControl::width() const {
    return m_widget ? m_bounds.width() : 0;
}
int TControl::height() const {
    return m_widget ? m_bounds.height() : 0;
}

void TControl::setBounds(int left, int top, int width, int height) {
    if (!m_widget)
        return;
    m_bounds = QRect(left, top, width, height);
    // A window is placed on the screen, in the screen's pixels, and only when asked to move: a
    // window never placed is left to the window system.
    if (m_widget->isWindow() && m_widget->geometry().topLeft() != m_bounds.topLeft())
        m_widget->setGeometry(QRect(m_bounds.topLeft(), m_widget->size()));
    placeWidget();
    applyAlign();
    // Qt defers resize events of widgets not yet shown; the children follow the new size now.
    if (auto* container = dynamic_cast<TWinControl*>(this))
        container->realignControls();
}

void TControl::placeWidget() {
    if (!m_widget)
        return;
    if (m_widget->isWindow())
        m_widget->resize(scaledSize(m_bounds.size(), scale()));
    else
        m_widget->setGeometry(
            scaledRect(m_bounds, scale()).translated(m_parent ? m_parent->clientOrigin() : QPoint()));
}

double TControl::scale() const {
    return m_parent ? m_parent->scale() : 1.0;
}

void TControl::scaleChanged() {
    placeWidget();
    appearanceChanged();
}

void TControl::scalePainter(QPainter& painter) const {
    if (!m_widget || scale() == 1.0 || m_bounds.isEmpty())
        return;
    // The widget's own size rather than the scale itself: its edges were rounded to whole pixels,
    // and the drawing must reach them.
    painter.scale(double(m_widget->width()) / m_bounds.width(),
                  double(m_widget->height()) / m_bounds.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

void TControl::setAlign(TAlign align) {
    m_align = align;
    applyAlign();
}

void TControl::applyAlign() {
    if (m_align != TAlign::alClient || !m_widget || !m_parent || !m_parent->widget())
        return;
    const QRect client(0, 0, m_parent->width(), m_parent->height());
    if (client == m_bounds)
        return;
    m_bounds = client;
    placeWidget();
    if (auto* container = dynamic_cast<TWinControl*>(this))
        container->realignControls();
}

bool TControl::enabled() const {
    return m_enabled;
}

void TControl::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (m_widget)
        m_widget->setEnabled(enabled);
}

bool TControl::visible() const {
    // A form's visibility is whether its window is shown; a control's is its own flag.
    if (m_widget && m_widget->isWindow())
        return m_widget->isVisible();
    return m_visible;
}

void TControl::setVisible(bool visible) {
    m_visible = visible;
    if (m_widget && (m_parent || m_widget->isWindow()))
        m_widget->setVisible(visible);
}

const TFont& TControl::font() const noexcept {
    return m_font;
}

void TControl::setFont(const TFont& font) {
    m_parentFont = false;
    inheritFont(font);
}

void TControl::setParentFont(bool on) {
    m_parentFont = on;
    if (on && m_parent)
        inheritFont(m_parent->font());
}

void TControl::inheritFont(const TFont& font) {
    m_font = font;
    appearanceChanged();
    const TWinControl* self = dynamic_cast<const TWinControl*>(this);
    if (!self)
        return;
    for (TControl* child : self->controls()) {
        if (child->m_parentFont)
            child->inheritFont(font);
    }
}

TColor TControl::color() const noexcept {
    return m_color;
}

void TControl::setColor(TColor color) {
    m_color = color;
    appearanceChanged();
}

void TControl::setHint(const AnsiString& hint) {
    m_hint = hint;
    applyHint();
}

void TControl::setShowHint(bool on) {
    m_showHint = on;
    applyHint();
}

void TControl::setAccessibleName(const AnsiString& name) {
    m_accessibleName = name;
    if (m_widget)
        m_widget->setAccessibleName(toQString(name));
}

void TControl::applyHint() {
    if (m_widget)
        m_widget->setToolTip(m_showHint ? toQString(m_hint) : QString());
}

void TControl::repaint() {
    if (m_widget)
        m_widget->repaint();
}

void TControl::click() {
    if (!onClick)
        return;
    // A copy: the handler may free this control (and the form) before it returns.
    const TNotifyEvent handler = onClick;
    handler(this);
}

void TControl::appearanceChanged() {
    if (!m_widget)
        return;
    m_widget->setFont(qtFont(m_font, scale()));
    QPalette palette = m_widget->palette();
    const QColor face = qtColor(m_color);
    const QColor text = qtColor(m_font.color);
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, face);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    m_widget->setPalette(palette);
}

bool TControl::setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) {
    if (name == "Left")
        setBounds(int(integerValue(name, value)), top(), width(), height());
    else if (name == "Top")
        setBounds(left(), int(integerValue(name, value)), width(), height());
    else if (name == "Width")
        setBounds(left(), top(), int(integerValue(name, value)), height());
    else if (name == "Height")
        setBounds(left(), top(), width(), int(integerValue(name, value)));
    else if (name == "Align")
        setAlign(identTableValue<TAlign>(name, "alignment", value, kAlignments));
    else if (name == "Enabled")
        setEnabled(booleanValue(name, value));
    else if (name == "Visible")
        setVisible(booleanValue(name, value));
    else if (name == "Tag")
        setTag(std::intptr_t(integerValue(name, value)));
    else if (name == "Color")
        setColor(colorValue(name, value));
    else if (name == "ParentFont")
        setParentFont(booleanValue(name, value));
    else if (name == "Hint")
        setHint(AnsiString(textValue(name, value)));
    else if (name == "ShowHint")
        setShowHint(booleanValue(name, value));
    else if (name == "AccessibleName")
        setAccessibleName(AnsiString(textValue(name, value)));
    else if (name == "OnClick")
        events.bind(name, value, onClick);
    else if (name.starts_with("Font."))
        return setFontSubProperty(name.substr(5), value);
    else
        return false;
    return true;
}

bool TControl::setFontSubProperty(std::string_view subProperty, const TPropertyValue& value) {
    TFont changed = m_font;
    if (!setFontProperty(changed, subProperty, value))
        return false;
    setFont(changed);
    return true;
}

// --- TWinControl ------------------------------------------------------------------------------

TWinControl::TWinControl(std::unique_ptr<QWidget> widget) : TControl(std::move(widget)) {
    if (QWidget* w = this->widget())
        new TWinControlWatcher(*this, *w); // owned by the widget
}

bool TWinControl::canFocus() const {
    const QWidget* w = widget();
    if (!w || !w->isEnabled() || (!w->isWindow() && !w->isVisibleTo(w->window())))
        return false;
    const QWidget* target = w;
    while (target->focusProxy())
        target = target->focusProxy();
    return target->focusPolicy() != Qt::NoFocus;
}

bool TWinControl::focused() const {
    const QWidget* w = widget();
    if (!w)
        return false;
    const QWidget* focus = w->window()->focusWidget();
    return focus && fromWidget(focus) == this;
}

void TWinControl::setFocus() {
    if (!canFocus())
        throw Exception("Cannot focus a disabled or invisible control " + name());
    widget()->setFocus(Qt::OtherFocusReason);
}

int TWinControl::tabOrder() const noexcept {
    return m_tabOrder;
}
void TWinControl::setTabOrder(int order) {
    m_tabOrder = order;
}

std::vector<TControl*> TWinControl::controls() const {
    std::vector<TControl*> result;
    if (!widget())
        return result;
    for (QObject* child : widget()->children()) {
        const QWidget* childWidget = qobject_cast<const QWidget*>(child);
        if (!childWidget || childWidget->isWindow())
            continue;
        if (TControl* control = controlOf(childWidget))
            result.push_back(control);
    }
    return result;
}

std::vector<TWinControl*> TWinControl::tabOrderedControls() const {
    std::vector<TWinControl*> result;
    for (TControl* control : controls()) {
        if (auto* win = dynamic_cast<TWinControl*>(control))
            result.push_back(win);
    }
    const auto rank = [](const TWinControl* c) { return c->m_tabOrder < 0 ? INT_MAX : c->m_tabOrder; };
    std::stable_sort(result.begin(), result.end(),
                     [&](const TWinControl* a, const TWinControl* b) { return rank(a) < rank(b); });
    return result;
}

void TWinControl::realignControls() {
    for (TControl* child : controls())
        child->applyAlign();
}

void TWinControl::placeControls() {
    for (TControl* child : controls())
        child->placeWidget();
}

QPoint TWinControl::clientOrigin() const {
    return QPoint();
}

void TWinControl::followWindowSize() {
    QWidget* w = widget();
    if (!w || !w->isWindow() || w->size() == scaledSize(m_bounds.size(), scale()))
        return;
    const double s = scale();
    m_bounds.setSize(QSize(int(std::lround(w->width() / s)), int(std::lround(w->height() / s))));
}

void TWinControl::scaleChanged() {
    TControl::scaleChanged();
    for (TControl* child : controls())
        child->scaleChanged();
}

bool TWinControl::setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) {
    if (name == "TabOrder")
        setTabOrder(int(integerValue(name, value)));
    else if (name == "OnKeyDown")
        events.bind(name, value, onKeyDown);
    else if (name == "OnKeyPress")
        events.bind(name, value, onKeyPress);
    else
        return TControl::setProperty(name, value, events);
    return true;
}

// --- TGraphicControl --------------------------------------------------------------------------

TGraphicControl::TGraphicControl(std::unique_ptr<QWidget> widget) : TControl(std::move(widget)) {
    if (QWidget* w = this->widget())
        w->setFocusPolicy(Qt::NoFocus);
}

} // namespace qmr

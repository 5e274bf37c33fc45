#include <qmr41726/ui/forms/TForm.h>

#include <qmr41726/ui/QtText.h>
#include <qmr41726/ui/Scaling.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/forms/KeyRouter.h>
#include <qmr41726/ui/forms/PropertyValues.h>
#include <qmr41726/ui/forms/TClassRegistry.h>

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace qmr {

namespace {

/// The top-level window of a form. A close request from the window system (Alt+F4 through a
/// window manager, a close button) is refused: a form closes only through TForm::close(), which
/// hides the window without asking it. A plain QWidget, not a QDialog, so that no Esc or Enter
/// default ever acts.
///
/// A kiosk's compositor gives every window the whole output, whatever size it asked for: the form
/// then keeps its size, centred in the window, and the room around it is black, as a panel's
/// unused area is, so that nothing there looks like part of the form or something to touch.
class FormWidget : public QWidget {
public:
    FormWidget() : QWidget(nullptr, Qt::Window) {}

    /// The size the form is drawn at; an invalid size lets the form fill the window.
    void setFormSize(QSize size) {
        m_formSize = size;
        update();
    }
    /// Where the form begins in the window: centred in a window larger than the form.
    QPoint formOrigin() const {
        if (!m_formSize.isValid())
            return QPoint();
        return QPoint(std::max(0, (width() - m_formSize.width()) / 2),
                      std::max(0, (height() - m_formSize.height()) / 2));
    }

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
    void paintEvent(QPaintEvent*) override {
        if (!m_formSize.isValid())
            return;
        const QRegion around = QRegion(rect()) - QRegion(QRect(formOrigin(), m_formSize));
        if (around.isEmpty())
            return;
        QPainter painter(this);
        for (const QRect& part : around)
            painter.fillRect(part, Qt::black);
    }

private:
    QSize m_formSize;
};

/// The live forms by handle, the stack of modal loops, and the key router while any form lives.
struct FormRegistry {
    std::unordered_map<HWND, TForm*> live;
    std::vector<TForm*> modal;
    HWND lastHandle = 0x10000;
    std::unique_ptr<KeyRouter> router;
};

FormRegistry& registry() {
    static FormRegistry forms;
    return forms;
}

/// The border styles, by whether each leaves the window without a border. The others all keep
/// the frame the window system gives, so they are accepted and told apart no further.
constexpr TIdentName<bool> kBorderStyles[] = {{"bsNone", true},        {"bsSingle", false},
                                              {"bsSizeable", false},   {"bsDialog", false},
                                              {"bsToolWindow", false}, {"bsSizeToolWin", false}};
/// The positions, by whether each centres the window on the screen; the others leave the
/// placing to the window system.
constexpr TIdentName<bool> kPositions[] = {{"poDesigned", false},       {"poDefault", false},
                                           {"poDefaultPosOnly", false}, {"poDefaultSizeOnly", false},
                                           {"poScreenCenter", true},    {"poDesktopCenter", false},
                                           {"poMainFormCenter", false}, {"poOwnerFormCenter", false}};

/// The room a window's frame takes: as the window system reported it once the window was shown,
/// else what the style draws for a title bar and a border.
QMargins frameOf(const QWidget& window) {
    if (const QWindow* handle = window.windowHandle(); handle && !handle->frameMargins().isNull())
        return handle->frameMargins();
    const QStyle* style = window.style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    const int titleBar = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return QMargins(border, titleBar + border, border, border);
}

} // namespace

struct TForm::Impl {
    AnsiString caption;
    HWND handle = 0;
    QEventLoop* loop = nullptr;
    double scale = 1.0;
    bool fixedSize = false;
    bool keyPreview = false;
    bool borderless = false;
    bool screenCentered = false;
    bool closing = false;
    bool closeRequested = false;
    bool releaseRequested = false;
};

TForm::TForm() : TWinControl(std::make_unique<FormWidget>()), m_impl(std::make_unique<Impl>()) {
    FormRegistry& forms = registry();
    // Handles are never reused, so a message still queued for a freed form finds nobody.
    m_impl->handle = ++forms.lastHandle;
    forms.live[m_impl->handle] = this;
    if (!forms.router)
        forms.router = std::make_unique<KeyRouter>();
    widget()->setAutoFillBackground(true);
    appearanceChanged();
}

TForm::~TForm() {
    FormRegistry& forms = registry();
    forms.live.erase(m_impl->handle);
    std::erase(forms.modal, this);
    if (m_impl->loop)
        m_impl->loop->exit(0);
    if (forms.live.empty())
        forms.router.reset();
}

// Not wrapped in the dispatch helper: an error of OnCreate is an error of creating the form, and
// goes to whoever creates it.
void TForm::create() {
    if (!onCreate)
        return;
    const TNotifyEvent handler = onCreate;
    handler(this);
}

const AnsiString& TForm::caption() const noexcept {
    return m_impl->caption;
}

void TForm::setCaption(const AnsiString& caption) {
    m_impl->caption = caption;
    widget()->setWindowTitle(toQString(caption));
}

void TForm::setIcon(const QIcon& icon) {
    widget()->setWindowIcon(icon);
}
QIcon TForm::icon() const {
    return widget()->windowIcon();
}

void TForm::setClientSize(int width, int height) {
    m_impl->fixedSize = true;
    setBounds(left(), top(), width, height);
}
int TForm::clientWidth() const {
    return width();
}
int TForm::clientHeight() const {
    return height();
}

void TForm::placeWidget() {
    auto* window = static_cast<FormWidget*>(widget());
    if (!m_impl->fixedSize) {
        window->setFormSize(QSize());
        return TWinControl::placeWidget();
    }
    const QSize size = scaledSize(QSize(width(), height()), scale());
    window->setFormSize(size);
    if (m_impl->borderless) {
        // Nobody resizes a window without a border but the window system, and a kiosk's
        // compositor makes it as large as the output: it may grow past the form, not shrink it.
        window->setMinimumSize(size);
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window->resize(size);
    } else {
        window->setFixedSize(size);
    }
    placeControls();
}

QPoint TForm::clientOrigin() const {
    return static_cast<const FormWidget*>(widget())->formOrigin();
}

void TForm::followWindowSize() {
    // A form of fixed size keeps it in a window made larger, and sits in its middle.
    if (m_impl && m_impl->fixedSize)
        return placeControls();
    TWinControl::followWindowSize();
}

double TForm::scale() const {
    return m_impl ? m_impl->scale : 1.0;
}

void TForm::setScale(double factor) {
    // Only the factors a fit accepts (EConvertError otherwise): a form scaled to nothing, or past
    // any screen, is a mistake.
    factor = TFit::fixed(factor).factor();
    if (factor == m_impl->scale)
        return;
    m_impl->scale = factor;
    scaleChanged();
}

bool TForm::borderless() const noexcept {
    return m_impl->borderless;
}

void TForm::setBorderless(bool on) {
    m_impl->borderless = on;
    widget()->setWindowFlag(Qt::FramelessWindowHint, on);
    if (m_impl->fixedSize)
        placeWidget(); // only a window without a border may be made larger than its form
}

bool TForm::screenCentered() const noexcept {
    return m_impl->screenCentered;
}
void TForm::setScreenCentered(bool on) {
    m_impl->screenCentered = on;
}

bool TForm::keyPreview() const noexcept {
    return m_impl->keyPreview;
}
void TForm::setKeyPreview(bool on) {
    m_impl->keyPreview = on;
}

/// Forms are designed at 96 pixels per inch; Qt already maps them onto screens of more pixels per
/// inch (its device pixel ratio), but not onto a screen too small for them, which is what the
/// application's fit is for.
void TForm::fitToScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!Application || !screen)
        return;
    // A form without a border may cover the whole screen (a kiosk's panel); a framed one keeps
    // to the area the desktop leaves free, with room for its frame.
    const QSize room = m_impl->borderless ? screen->geometry().size()
                                          : screen->availableGeometry().size().shrunkBy(frameOf(*widget()));
    setScale(Application->fit().scaleFor(QSize(width(), height()), room));
}

void TForm::placeOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    // A form scaled down is centred too: its designed place was meant for its designed size.
    if (!screen || (!m_impl->screenCentered && scale() >= 1.0))
        return;
    const QRect area = screen->geometry();
    widget()->move(area.x() + (area.width() - widget()->width()) / 2,
                   area.y() + (area.height() - widget()->height()) / 2);
}

int TForm::showModal() {
    if (m_impl->loop)
        throw Exception("Cannot make a visible window modal");
    QWidget* window = widget();
    const QPointer<QWidget> alive(window);
    fitToScreen();
    placeOnScreen();
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        window->raise(); // the offscreen platform has no stacking and warns about it
    window->activateWindow();
    focusFirstControl();

    QEventLoop loop;
    m_impl->loop = &loop;
    m_impl->closeRequested = false;
    registry().modal.push_back(this);
    // The host hears of the form once the window is up and the loop runs (a scripted host starts
    // its script here); queued on the window, so it is dropped if the form is freed first.
    QMetaObject::invokeMethod(
        window,
        [this] {
            if (m_impl->loop && Application && Application->onModalShown)
                dispatchHandler([this] { Application->onModalShown(*this); });
        },
        Qt::QueuedConnection);
    loop.exec(QEventLoop::DialogExec);
    if (!alive)
        return 0; // the form was freed inside its own loop
    m_impl->loop = nullptr;
    std::erase(registry().modal, this);
    window->hide();
    window->setWindowModality(Qt::NonModal);
    if (Application && Application->onModalClosed)
        dispatchHandler([this] { Application->onModalClosed(*this); });
    return 0;
}

void TForm::close() {
    // A close request that arrives after an accepted one, while the loop is ending (Esc seen by
    // the form and by the focused control posts two), must not run OnClose again.
    if (m_impl->closing || (m_impl->loop && m_impl->closeRequested))
        return;
    const QPointer<QWidget> alive(widget());
    TCloseAction action = TCloseAction::caHide;
    bool handled = true;
    if (onClose) {
        const TCloseEvent handler = onClose;
        m_impl->closing = true;
        handled = dispatchHandler([&] { handler(this, action); });
        if (!alive)
            return;
        m_impl->closing = false;
    }
    // An OnClose that failed or refused leaves the form open, as a failed close would.
    if (!handled || action == TCloseAction::caNone)
        return;
    if (action == TCloseAction::caFree)
        m_impl->releaseRequested = true;
    endModal();
}

void TForm::release() {
    m_impl->releaseRequested = true;
    endModal();
}

bool TForm::releaseRequested() const noexcept {
    return m_impl->releaseRequested;
}

void TForm::endModal() {
    if (m_impl->loop) {
        const bool first = !m_impl->closeRequested;
        m_impl->closeRequested = true;
        m_impl->loop->exit(0);
        if (first && Application && Application->onModalCloseAccepted)
            dispatchHandler([this] { Application->onModalCloseAccepted(*this); });
        return;
    }
    widget()->hide();
}

bool TForm::modal() const noexcept {
    return m_impl->loop != nullptr;
}
HWND TForm::handle() const noexcept {
    return m_impl->handle;
}

TWinControl* TForm::activeControl() const {
    const QWidget* focus = widget()->focusWidget();
    auto* control = focus ? dynamic_cast<TWinControl*>(fromWidget(focus)) : nullptr;
    return control == this ? nullptr : control;
}

namespace {

/// The first control that can take the focus, depth first in tab order: a panel that cannot
/// take it hands the search on to its own controls.
TWinControl* firstFocusable(const TWinControl& container) {
    for (TWinControl* control : container.tabOrderedControls()) {
        if (!control->visible() || !control->enabled())
            continue;
        if (control->canFocus())
            return control;
        if (TWinControl* inner = firstFocusable(*control))
            return inner;
    }
    return nullptr;
}

} // namespace

void TForm::focusFirstControl() {
    if (TWinControl* first = firstFocusable(*this))
        first->setFocus();
}

TForm* TForm::activeModalForm() noexcept {
    const FormRegistry& forms = registry();
    return forms.modal.empty() ? nullptr : forms.modal.back();
}

TForm* TForm::fromHandle(HWND handle) noexcept {
    const FormRegistry& forms = registry();
    const auto it = forms.live.find(handle);
    return it == forms.live.end() ? nullptr : it->second;
}

WORD TForm::dispatchKeyDown(TWinControl* target, WORD key, TShiftState shift) {
    const QPointer<QWidget> alive(widget());
    if (!target || target == this) {
        runKeyDown(*this, key, shift);
        return alive ? key : 0;
    }
    const QPointer<QWidget> targetAlive(target->widget());
    if (m_impl->keyPreview) {
        runKeyDown(*this, key, shift);
        if (!alive || key == 0)
            return 0;
    }
    if (targetAlive)
        runKeyDown(*target, key, shift);
    return key;
}

char TForm::dispatchKeyPress(TWinControl* target, char key) {
    const QPointer<QWidget> alive(widget());
    if (!target || target == this) {
        runKeyPress(*this, key);
        return alive ? key : 0;
    }
    const QPointer<QWidget> targetAlive(target->widget());
    if (m_impl->keyPreview) {
        runKeyPress(*this, key);
        if (!alive || key == 0)
            return 0;
    }
    if (targetAlive)
        runKeyPress(*target, key);
    return key;
}

void TForm::runKeyDown(TWinControl& control, WORD& key, TShiftState shift) {
    if (!control.onKeyDown)
        return;
    const TKeyEvent handler = control.onKeyDown;
    // A handler that raised has not decided about the key: it goes no further.
    if (!dispatchHandler([&] { handler(&control, key, shift); }))
        key = 0;
}

void TForm::runKeyPress(TWinControl& control, char& key) {
    if (!control.onKeyPress)
        return;
    const TKeyPressEvent handler = control.onKeyPress;
    if (!dispatchHandler([&] { handler(&control, key); }))
        key = 0;
}

bool TForm::setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) {
    if (name == "ClientWidth")
        setClientSize(int(integerValue(name, value)), clientHeight());
    else if (name == "ClientHeight")
        setClientSize(clientWidth(), int(integerValue(name, value)));
    else if (name == "BorderStyle")
        setBorderless(identTableValue<bool>(name, "border style", value, kBorderStyles));
    else if (name == "Position")
        setScreenCentered(identTableValue<bool>(name, "position", value, kPositions));
    else if (name == "KeyPreview")
        setKeyPreview(booleanValue(name, value));
    else if (name == "Caption")
        setCaption(AnsiString(textValue(name, value)));
    else if (name == "OnCreate")
        events.bind(name, value, onCreate);
    else if (name == "OnClose")
        events.bind(name, value, onClose);
    else if (name == "OldCreateOrder")
        acceptOldCreateOrder(value);
    else if (name == "PixelsPerInch" || name == "TextHeight")
        integerValue(name, value); // design-time metrics: checked, no effect at run time
    else
        return TWinControl::setProperty(name, value, events);
    return true;
}

void TForm::acceptOldCreateOrder(const TPropertyValue& value) {
    // OnCreate always runs once the whole component tree exists; the old order (before the
    // components are loaded) is not offered.
    if (booleanValue("OldCreateOrder", value))
        throw EComponentError("Property OldCreateOrder: True is not supported");
}

} // namespace qmr

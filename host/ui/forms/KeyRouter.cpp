#include <qmr41726/ui/forms/KeyRouter.h>

#include <qmr41726/ui/QtText.h>
#include <qmr41726/ui/forms/KeyMapping.h>
#include <qmr41726/ui/forms/TForm.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>

namespace qmr {

namespace {

/// The form whose window holds `widget`, or nullptr.
TForm* formOf(const QWidget& widget) {
    return dynamic_cast<TForm*>(TControl::fromWidget(widget.window()));
}

/// The window control the key was aimed at: the control of the widget or of its nearest
/// ancestor that has a window (a windowless control cannot hold the focus).
TWinControl* targetOf(const QWidget& widget) {
    for (const QWidget* w = &widget; w; w = w->parentWidget()) {
        if (auto* control = dynamic_cast<TWinControl*>(TControl::fromWidget(w)))
            return control;
    }
    return nullptr;
}

/// Sets a pointer for the length of a scope and puts the old value back.
class PointerScope {
public:
    PointerScope(const QEvent*& slot, const QEvent* value) : m_slot(slot), m_old(slot) { m_slot = value; }
    ~PointerScope() { m_slot = m_old; }
    PointerScope(const PointerScope&) = delete;
    PointerScope& operator=(const PointerScope&) = delete;

private:
    const QEvent*& m_slot;
    const QEvent* m_old;
};

} // namespace

KeyRouter::KeyRouter() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

KeyRouter::~KeyRouter() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool KeyRouter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || event == m_delivering)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    TForm* form = widget ? formOf(*widget) : nullptr;
    if (!form)
        return false;
    auto& key = static_cast<QKeyEvent&>(*event);
    // Claiming the override for the focused widget means no shortcut, action or default button
    // can take the key away: it arrives as a key press and is routed below.
    if (type == QEvent::KeyPress)
        route(*form, *widget, key);
    key.accept();
    return true;
}

void KeyRouter::route(TForm& form, QWidget& widget, QKeyEvent& event) {
    const QPointer<QWidget> alive(&widget);
    TWinControl* target = targetOf(widget);
    if (const WORD code = virtualKeyOf(event)) {
        if (form.dispatchKeyDown(target, code, shiftStateOf(event)) == 0 || !alive)
            return;
    }
    const AnsiString typed = charactersOf(event);
    AnsiString passed;
    for (const char character : typed) {
        const char result = form.dispatchKeyPress(target, character);
        if (!alive)
            return;
        if (result != 0)
            passed.push_back(result);
    }
    if (passed == typed) {
        deliver(widget, event);
        return;
    }
    // The handlers changed or refused characters: the widget sees the key with what is left.
    QKeyEvent changed(event.type(), event.key(), event.modifiers(), event.nativeScanCode(),
                      event.nativeVirtualKey(), event.nativeModifiers(), toQString(passed),
                      event.isAutoRepeat(), event.count());
    deliver(widget, changed);
}

void KeyRouter::deliver(QWidget& widget, QKeyEvent& event) {
    // Delivered from here, the key takes Qt's normal road (the widget, then its parents while
    // nobody accepts it) without being routed through the handlers a second time. A key event
    // of a nested event loop started meanwhile is a different event and is routed as usual.
    const PointerScope delivering(m_delivering, &event);
    QCoreApplication::sendEvent(&widget, &event);
}

} // namespace qmr

#include "WindowSystemInput.h"

#include <chrono>

#include <QGuiApplication>
#include <QPointingDevice>
#include <QScreen>
#include <QStyleHints>
#include <QVariant>
#include <QWindow>
#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qwindowsysteminterface.h>

namespace {

using Sync = QWindowSystemInterface::SynchronousDelivery;

const QString kTouchScreenName = QStringLiteral("qmr41726 scripted touch screen");
/// The application's property that holds how far scripted presses moved the input clock ahead.
constexpr char kSkippedTimeProperty[] = "qmr41726ScriptedInputSkippedMs";

/// The touch screen touches come from. Qt keeps a registered device until the application ends,
/// so it is made once per application, owned by it, and found again by its name.
const QPointingDevice* touchScreen() {
    for (const QInputDevice* device : QInputDevice::devices()) {
        if (device->type() == QInputDevice::DeviceType::TouchScreen && device->name() == kTouchScreenName)
            return static_cast<const QPointingDevice*>(device);
    }
    auto* device = new QPointingDevice(kTouchScreenName, 0x51A7, QInputDevice::DeviceType::TouchScreen,
                                       QPointingDevice::PointerType::Finger,
                                       QInputDevice::Capability::Position | QInputDevice::Capability::Area, 1,
                                       0, QString(), QPointingDeviceUniqueId(), qApp);
    QWindowSystemInterface::registerInputDevice(device);
    return device;
}

QEventPoint::State touchState(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
        return QEventPoint::State::Pressed;
    case QEvent::MouseButtonRelease:
        return QEventPoint::State::Released;
    default:
        return QEventPoint::State::Updated;
    }
}

} // namespace

ulong WindowSystemInput::stamp(bool press) {
    // Qt joins two presses into a double click by their time stamps, whichever input made them, and
    // remembers the last press for the application's life. So the time skipped is kept on the
    // application, as the touch screen is, not on one input: a second input in the same application
    // (a test's next screen) must not stamp its first press just after the last one's.
    qulonglong skipped = qApp->property(kSkippedTimeProperty).toULongLong();
    if (press) {
        skipped += qulonglong(QGuiApplication::styleHints()->mouseDoubleClickInterval()) + 1;
        qApp->setProperty(kSkippedTimeProperty, skipped);
    }
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return ulong(now.count()) + ulong(skipped);
}

void WindowSystemInput::mouse(QWindow* window, QPoint position, QEvent::Type type) {
    // The window system speaks in the screen's own pixels, which differ from Qt's under scaling.
    const qreal factor = QHighDpiScaling::factor(window);
    const QPointF local = QPointF(position) * factor;
    const QPointF global = QPointF(window->mapToGlobal(position)) * factor;
    const bool press = type == QEvent::MouseButtonPress;
    if (press)
        m_buttons |= Qt::LeftButton;
    else if (type == QEvent::MouseButtonRelease)
        m_buttons &= ~Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QWindowSystemInterface::handleMouseEvent<Sync>(window, stamp(press), local, global, m_buttons, button,
                                                   type);
}

void WindowSystemInput::touch(QWindow* window, QPoint position, QEvent::Type type) {
    QWindowSystemInterface::TouchPoint point;
    point.state = touchState(type);
    point.pressure = point.state == QEventPoint::State::Released ? 0 : 1;
    const QPointF global = QHighDpi::toNativeGlobalPosition(QPointF(window->mapToGlobal(position)), window);
    point.area = QRectF(global, QSizeF());
    const QSizeF screen = QHighDpi::toNativePixels(QSizeF(window->screen()->geometry().size()), window);
    if (!screen.isEmpty())
        point.normalPosition = QPointF(global.x() / screen.width(), global.y() / screen.height());
    QWindowSystemInterface::handleTouchEvent<Sync>(window, stamp(point.state == QEventPoint::State::Pressed),
                                                   touchScreen(), {point});
    // Qt makes mouse events of touches no widget takes; they are posted, as a screen's are.
    QCoreApplication::processEvents();
}

void WindowSystemInput::key(QWindow* window, bool press, int key, Qt::KeyboardModifiers modifiers,
                            const QString& text) {
    QWindowSystemInterface::handleKeyEvent<Sync>(
        window, stamp(false), press ? QEvent::KeyPress : QEvent::KeyRelease, key, modifiers, text);
}

#include <qmr41726/ui/controls/TTimer.h>

#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/forms/PropertyValues.h>

#include <QTimer>

namespace qmr {

TTimer::TTimer() = default;
TTimer::~TTimer() = default;

void TTimer::setEnabled(bool on) {
    m_enabled = on;
    update();
}

void TTimer::setInterval(int milliseconds) {
    m_interval = milliseconds;
    update();
}

bool TTimer::running() const noexcept {
    return m_timer && m_timer->isActive();
}

void TTimer::update() {
    if (!m_enabled || m_interval <= 0 || !onTimer) {
        m_timer.reset();
        return;
    }
    if (!m_timer) {
        m_timer = std::make_unique<QTimer>();
        QObject::connect(m_timer.get(), &QTimer::timeout, m_timer.get(), [this] {
            const TNotifyEvent handler = onTimer;
            if (handler)
                dispatchHandler([&] { handler(this); });
        });
    }
    m_timer->start(m_interval);
}

bool TTimer::setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) {
    if (name == "Enabled")
        setEnabled(booleanValue(name, value));
    else if (name == "Interval")
        setInterval(int(integerValue(name, value)));
    else if (name == "OnTimer") {
        events.bind(name, value, onTimer);
        update();
    } else if (name == "Left" || name == "Top")
        integerValue(name, value); // design position of a non-visual component: never drawn
    else
        return false;
    return true;
}

} // namespace qmr

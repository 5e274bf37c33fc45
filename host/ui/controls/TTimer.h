#pragma once
#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/ui/Types.h>
#include <qmr41726/ui/forms/Layout.h>

#include <memory>

class QTimer;

namespace qmr {

/// A timer; without an OnTimer handler it does nothing (no Qt timer even exists then).
class QMR_RUNTIME_EXPORT TTimer : public TComponent {
public:
    TTimer();
    ~TTimer() override;

    /// Whether the timer counts (on by default).
    ///@{
    bool enabled() const noexcept { return m_enabled; }
    void setEnabled(bool on);
    ///@}
    /// Milliseconds between two OnTimer calls; 0 stops the timer.
    ///@{
    int interval() const noexcept { return m_interval; }
    void setInterval(int milliseconds);
    ///@}
    /// Whether a Qt timer is counting (enabled, an interval and a handler).
    bool running() const noexcept;

    /// The handler called every interval, on the GUI thread.
    TNotifyEvent onTimer;
    /// Sets one layout property ("Enabled", "Interval", "OnTimer"); false when the timer has no
    /// such property.
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events);

private:
    void update();

    std::unique_ptr<QTimer> m_timer;
    bool m_enabled = true;
    int m_interval = 1000;
};

} // namespace qmr

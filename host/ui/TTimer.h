#pragma once
#include "host/ui/Types.h"
#include "host/ui/Layout.h"

/// A timer; without an OnTimer handler it does nothing.
class TTimer : public TComponent {
public:
    TNotifyEvent onTimer;
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events);
};

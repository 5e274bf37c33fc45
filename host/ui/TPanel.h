#pragma once
#include "host/ui/TControl.h"

/// A plain panel: a viewport that clips its children to its client area.
class TPanel : public TWinControl {
public:
    TPanel();
    bool setProperty(std::string_view name, const TPropertyValue& value, TEventBinder& events) override;
};

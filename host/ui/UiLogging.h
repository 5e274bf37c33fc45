#pragma once
// The component runtime's diagnostics category, qmr.ui. Warnings are on; information and debug
// messages are switched on with QT_LOGGING_RULES="qmr.ui.info=true" (or .debug).

#include <QLoggingCategory>

namespace qmr {
Q_DECLARE_LOGGING_CATEGORY(lcUi)
} // namespace qmr

#pragma once
// The framework's diagnostics category, qmr.framework. Warnings are on; information and debug
// messages are switched on with QT_LOGGING_RULES="qmr.framework.info=true" (or .debug).

#include <QLoggingCategory>

namespace qmr {
Q_DECLARE_LOGGING_CATEGORY(lcFramework)
} // namespace qmr

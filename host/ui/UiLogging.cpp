#include <qmr41726/ui/UiLogging.h>

namespace qmr {
Q_LOGGING_CATEGORY(lcUi, "qmr.ui", QtWarningMsg)
} // namespace qmr

#include <qmr41726/framework/FrameworkLogging.h>

namespace qmr {
Q_LOGGING_CATEGORY(lcFramework, "qmr.framework", QtWarningMsg)
} // namespace qmr

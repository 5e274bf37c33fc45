#include "HostLog.h"

Q_LOGGING_CATEGORY(lcHost, "qmr.host", QtWarningMsg)

#pragma once
// The host application's logging category, qmr.host (warnings on by default).

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcHost)

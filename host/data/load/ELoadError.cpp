#include <qmr41726/data/load/ELoadError.h>

namespace qmr {

// Defined here so that the class's type information is emitted in the runtime only.
ELoadError::~ELoadError() = default;

const char* loadErrorKindName(LoadErrorKind kind) noexcept {
    switch (kind) {
    case LoadErrorKind::NotFound:
        return "not-found";
    case LoadErrorKind::NotRegularFile:
        return "not-a-regular-file";
    case LoadErrorKind::Unreadable:
        return "unreadable";
    case LoadErrorKind::Malformed:
        return "malformed";
    case LoadErrorKind::Refused:
        return "refused";
    case LoadErrorKind::Timeout:
        return "timeout";
    case LoadErrorKind::ServerUnreachable:
        return "server-unreachable";
    }
    return "unknown";
}

} // namespace qmr

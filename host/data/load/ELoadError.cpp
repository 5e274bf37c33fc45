#include <qmr41726/data/load/ELoadError.h>

namespace qmr {

struct ELoadError::Impl {
    LoadErrorKind kind;
};

ELoadError::ELoadError(LoadErrorKind kind, AnsiString message)
    : EDatabaseError(std::move(message)), m_impl(std::make_unique<Impl>(Impl{kind})) {}

ELoadError::ELoadError(const ELoadError& other)
    : EDatabaseError(other), m_impl(std::make_unique<Impl>(*other.m_impl)) {}

ELoadError& ELoadError::operator=(const ELoadError& other) {
    EDatabaseError::operator=(other);
    *m_impl = *other.m_impl;
    return *this;
}

LoadErrorKind ELoadError::kind() const noexcept {
    return m_impl->kind;
}

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

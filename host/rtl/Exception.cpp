#include <qmr41726/rtl/Exception.h>

#include <string>

namespace qmr {

struct Exception::Impl {
    AnsiString message;
};

Exception::Exception(AnsiString message) : m_impl(std::make_unique<Impl>(Impl{std::move(message)})) {}

Exception::Exception(const Exception& other)
    : std::exception(other), m_impl(std::make_unique<Impl>(*other.m_impl)) {}

Exception& Exception::operator=(const Exception& other) {
    *m_impl = *other.m_impl;
    return *this;
}

const AnsiString& Exception::Message() const noexcept {
    return m_impl->message;
}

const char* Exception::what() const noexcept {
    return m_impl->message.c_str();
}

// The destructors are defined here so that the exception classes' type information is emitted in
// the runtime only: a package or host catches the very type the runtime throws.
Exception::~Exception() = default;
EConvertError::~EConvertError() = default;
EListError::~EListError() = default;
EDatabaseError::~EDatabaseError() = default;

void throwListIndexError(long long index, long long count) {
    throw EListError("List index out of bounds (" + std::to_string(index) + "): the list holds " +
                     std::to_string(count) + (count == 1 ? " item" : " items"));
}

} // namespace qmr

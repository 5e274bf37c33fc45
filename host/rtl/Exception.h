#pragma once
// The runtime's exception classes. Every error the runtime or the module raises on purpose is an
// Exception; data errors derive from it so that one catch of Exception handles them all.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/rtl/AnsiString.h>

#include <exception>
#include <memory>

namespace qmr {

/// Base class of the runtime's errors: carries a message text in Windows-1252.
class QMR_RUNTIME_EXPORT Exception : public std::exception {
public:
    /// An error with `message`, Windows-1252 like every text of the runtime.
    explicit Exception(AnsiString message);
    /// Copies hold their own copy of the message: no copy is ever left empty.
    ///@{
    Exception(const Exception& other);
    Exception& operator=(const Exception& other);
    ///@}
    ~Exception() override;

    /// The message text, as shown to the user.
    const AnsiString& Message() const noexcept;
    /// The message's bytes (Windows-1252, not UTF-8: ansiToUtf8 before printing it).
    const char* what() const noexcept override;

private:
    // Behind a pointer so that the classes a host derives from an exception keep their layout when
    // the runtime's part of it changes. Copies copy the message: none is ever left without one.
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

/// A value could not be converted to the type asked for (variant, text to number, text encoding).
class QMR_RUNTIME_EXPORT EConvertError : public Exception {
public:
    /// An error with `message`.
    using Exception::Exception;
    ~EConvertError() override;
};

/// A list was indexed outside its bounds; the message names the index.
class QMR_RUNTIME_EXPORT EListError : public Exception {
public:
    /// An error with `message`.
    using Exception::Exception;
    ~EListError() override;
};

/// A data set refused an operation: a rejected filter, an unknown field or index, a bad load.
class QMR_RUNTIME_EXPORT EDatabaseError : public Exception {
public:
    /// An error with `message`.
    using Exception::Exception;
    ~EDatabaseError() override;
};

/// Raises the list error the runtime uses for every out-of-range index.
[[noreturn]] QMR_RUNTIME_EXPORT void throwListIndexError(long long index, long long count);

} // namespace qmr

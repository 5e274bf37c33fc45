#include <qmr41726/rtl/Exception.h>

#include <string>

namespace qmr {

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

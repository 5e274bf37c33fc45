#include "host/rtl/Exception.h"

#include <string>

namespace qmr {

void throwListIndexError(long long index, long long count) {
    throw EListError("List index out of bounds (" + std::to_string(index) + "): the list holds " +
                     std::to_string(count) + (count == 1 ? " item" : " items"));
}

} // namespace qmr

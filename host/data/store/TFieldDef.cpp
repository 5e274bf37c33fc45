#include <qmr41726/data/store/TFieldDef.h>

namespace qmr {

const char* fieldTypeName(TFieldType type) noexcept {
    switch (type) {
    case TFieldType::ftString:
        return "string";
    case TFieldType::ftInteger:
        return "integer";
    case TFieldType::ftFloat:
        return "float";
    case TFieldType::ftBoolean:
        return "Boolean";
    case TFieldType::ftDateTime:
        return "date-time";
    }
    return "unknown";
}

} // namespace qmr

#include <qmr41726/ui/RepresentableText.h>

namespace qmr {

AnsiString representableAnsi(const QString& text) {
    AnsiString result;
    result.reserve(size_t(text.size()));
    for (const char32_t codePoint : text.toStdU32String()) {
        const int byte = codePointToAnsi(codePoint);
        if (byte >= 0)
            result.push_back(char(byte));
    }
    return result;
}

} // namespace qmr

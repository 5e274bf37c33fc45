#include <qmr41726/ui/QtText.h>

#include <QList>

namespace qmr {

QString toQString(std::string_view text) {
    const std::string utf8 = ansiToUtf8(text);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

AnsiString fromQString(const QString& text) {
    AnsiString result;
    result.reserve(size_t(text.size()));
    for (const char32_t codePoint : text.toUcs4()) {
        const int byte = codePointToAnsi(codePoint);
        if (byte >= 0)
            result.push_back(char(byte));
    }
    return result;
}

} // namespace qmr

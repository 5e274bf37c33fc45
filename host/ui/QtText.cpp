#include <qmr41726/ui/QtText.h>

namespace qmr {

QString toQString(std::string_view text) {
    const std::string utf8 = ansiToUtf8(text);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

AnsiString fromQString(const QString& text) {
    // toStdU32String counts a surrogate pair as the one character it is, so the index an error
    // names is the character's, and it turns a lone surrogate into U+FFFD.
    return codePointsToAnsi(text.toStdU32String());
}

} // namespace qmr

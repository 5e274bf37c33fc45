#include <qmr41726/framework/Language.h>

#include <qmr41726/framework/FrameworkLogging.h>
#include <qmr41726/ui/QtText.h>
#include <qmr41726/ui/RepresentableText.h>

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include <cstdlib>
#include <memory>

namespace qmr {

namespace {

constexpr auto kCatalogueFolder = ":/qmr/translations";

/// The installed catalogue. The application owns it, so it goes with the application; the
/// pointer only remembers which one to take out when another language is chosen.
QPointer<QTranslator>& installedCatalogue() {
    static QPointer<QTranslator> catalogue;
    return catalogue;
}

void removeCatalogue() {
    if (QTranslator* old = installedCatalogue()) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
}

/// "pt_BR.UTF-8@euro" -> "pt_BR": the codeset and modifier say nothing about the language.
std::string_view languagePart(std::string_view name) {
    return name.substr(0, name.find_first_of(".@"));
}

} // namespace

bool setLanguage(std::string_view name) {
    QCoreApplication* application = QCoreApplication::instance();
    removeCatalogue();
    const std::string_view wanted = languagePart(name);
    if (!application || wanted.empty() || wanted == "C" || wanted == "POSIX") {
        qCInfo(lcFramework) << "texts stay as laid out";
        return false;
    }
    auto catalogue = std::make_unique<QTranslator>();
    const QLocale locale(QString::fromLatin1(wanted.data(), qsizetype(wanted.size())));
    // QLocale falls back to C for a name it does not know; such a name has no catalogue.
    if (locale.language() == QLocale::C || !catalogue->load(locale, "qmr", "_", kCatalogueFolder)) {
        qCInfo(lcFramework) << "no catalogue for" << QString::fromUtf8(name.data(), qsizetype(name.size()))
                            << "- texts stay as laid out";
        return false;
    }
    QTranslator* owned = catalogue.release();
    owned->setParent(application);
    QCoreApplication::installTranslator(owned);
    installedCatalogue() = owned;
    qCInfo(lcFramework) << "language" << owned->language();
    return true;
}

std::string language() {
    const QTranslator* catalogue = installedCatalogue();
    return catalogue ? catalogue->language().toStdString() : std::string();
}

std::string localeLanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value)
            continue;
        const std::string_view name = languagePart(value);
        return name == "C" || name == "POSIX" ? std::string() : std::string(name);
    }
    return {};
}

AnsiString translate(const char* context, const char* text, const std::vector<AnsiString>& arguments) {
    QString translated = QCoreApplication::translate(context, text);
    for (const AnsiString& argument : arguments)
        translated = translated.arg(toQString(argument));
    return representableAnsi(translated);
}

} // namespace qmr

// The smallest host of the search screen: loads the installed package, hands it the sample product
// catalogue, types "Jo" and Enter on the screen without a person, and checks that the call chose a
// row whose description begins with "Jo". Exit status 0 when it did.

#include <qmr41726/CriaTelaQmr41726.h>
#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/rtl/Variant.h>
#include <qmr41726/ui/QtText.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/TPackage.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <iostream>

namespace {

int fail(const std::string& message) {
    std::cerr << "minimal-host: " << message << '\n';
    return 1;
}

/// Presses and releases `key` on `window` as a keyboard would: the events are queued now and
/// handled once the screen's modal loop runs.
void postKey(QWidget* window, Qt::Key key, const QString& text) {
    QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

/// Types "Jo" and Enter into the screen that has just been shown, which is the modal window now.
/// Plain Qt key events are all a host needs: the screen takes a keyboard's keys as it takes touches.
void chooseFirstJo() {
    QWidget* const window = QApplication::activeModalWidget();
    if (!window)
        return;
    postKey(window, Qt::Key_J, QStringLiteral("J"));
    postKey(window, Qt::Key_O, QStringLiteral("o"));
    postKey(window, Qt::Key_Return, QStringLiteral("\r"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The runtime's application object lives as long as any screen: create it after QApplication.
    qmr::TApplication application;
    // The runtime's strings are Windows-1252: a host's own text crosses over through fromQString
    // (or utf8ToAnsi), which refuses a character the code page lacks instead of garbling it.
    application.setTitle(qmr::fromQString(QStringLiteral("Minimal host — caixa 01")));
    std::string handlerError;
    application.setExceptionHandler([&](const std::exception& e) { handlerError = e.what(); });
    application.onModalShown = [](qmr::TForm&) { chooseFirstJo(); };

    // Should the keys not reach the screen, close it after a while: the test fails, it does not hang.
    QTimer closeStuckScreen;
    closeStuckScreen.setSingleShot(true);
    QObject::connect(&closeStuckScreen, &QTimer::timeout, [] {
        if (QWidget* screen = QApplication::activeModalWidget())
            screen->close();
    });
    closeStuckScreen.start(20000);

    try {
        const auto package = qmr::TPackage::load(QMR41726_PACKAGE);
        const auto criaTela = package->procAddress<TCriaTelaQmr41726>(kCriaTelaQmr41726Name);
        if (!criaTela)
            return fail(std::string(QMR41726_PACKAGE) + " exports no " + kCriaTelaQmr41726Name);

        qmr::TClientDataSet produtos(qmr::loadCsvFile(SAMPLE_PRODUCTS));
        const qmr::Variant params[] = {qmr::Variant::fromPointer(&produtos), qmr::Variant("N")};
        qmr::OleVariant retorno;
        const bool chosen = criaTela(params, 1, retorno);

        if (!handlerError.empty())
            return fail("the screen reported: " + qmr::ansiToUtf8(handlerError));
        if (!chosen)
            return fail("the screen returned false: no row was chosen");
        // And back: toQString (or ansiToUtf8) for what the host shows, prints or stores.
        const QString descricao = qmr::toQString(produtos.fieldByName("DESCRICAO").asString());
        if (!descricao.startsWith(QStringLiteral("jo"), Qt::CaseInsensitive))
            return fail("the chosen row's DESCRICAO is \"" + descricao.toStdString() +
                        "\", which does not begin with Jo");
        std::cout << "chosen: row " << produtos.recNo() << " of " << produtos.recordCount() << ", "
                  << descricao.toStdString() << '\n';
        return 0;
    } catch (const std::exception& e) {
        return fail(qmr::ansiToUtf8(e.what()));
    }
}

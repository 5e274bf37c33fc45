// A host that defines, for its own use, functions and variables with the names the runtime and the
// package use, and exports them all (it is linked with --export-dynamic, the worst case: every one
// of its symbols is visible to the libraries it loads). The search through the package must not
// notice: the runtime's names live in its namespace and are bound inside it, and the package binds
// its own names to its own definitions.

#include <qmr41726/CriaTelaQmr41726.h>
#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/TPackage.h>
#include <qmr41726/ui/forms/Messages.h>
#include <qmr41726/ui/forms/TForm.h>

#include <QTimer>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

// The host's own definitions, in the global namespace where a host's helpers usually are.

namespace {
int hostDefinitionsCalled = 0;
} // namespace

/// The host's own upper-casing, which happens to fold nothing.
std::string UpperCase(std::string_view text) {
    ++hostDefinitionsCalled;
    return std::string(text);
}

std::string LowerCase(std::string_view text) {
    ++hostDefinitionsCalled;
    return std::string(text);
}

std::string Condicao(bool, const std::string&, const std::string&) {
    ++hostDefinitionsCalled;
    return "host's own";
}

/// A screen of the host's own that has the package's class name.
class TfrmPesquisa {
public:
    void sbtEnterClick(qmr::TObject* Sender);
    void FormKeyPress(qmr::TObject* Sender, char& Key);
};

void TfrmPesquisa::sbtEnterClick(qmr::TObject*) {
    ++hostDefinitionsCalled;
}

void TfrmPesquisa::FormKeyPress(qmr::TObject*, char& Key) {
    ++hostDefinitionsCalled;
    Key = 0;
}

TfrmPesquisa* frmPesquisa = nullptr;
std::string stFilter = "host's filter";
std::string stColuna = "host's column";

extern "C" void Initialize() {
    ++hostDefinitionsCalled;
}

extern "C" void Finalize() {
    ++hostDefinitionsCalled;
}

namespace {

TEST(CollidingHost, searchThroughThePackageUsesTheRuntimesAndThePackagesOwnDefinitions) {
    qmr::TApplication application;
    const auto package = qmr::TPackage::load(QMR_PACKAGE_FILE);
    const auto criaTela = package->procAddress<TCriaTelaQmr41726>(kCriaTelaQmr41726Name);
    ASSERT_NE(criaTela, nullptr);

    qmr::TClientDataSet produtos(qmr::loadCsvFile(QMR_SOURCE_DIR "/data/produtos.csv"));
    // J, O and Enter reach the screen as a physical keyboard's would, once its loop runs.
    application.onModalShown = [](qmr::TForm& form) {
        qmr::PostMessageA(form.handle(), qmr::WM_CHAR, 'j', 0);
        qmr::PostMessageA(form.handle(), qmr::WM_CHAR, 'o', 0);
        qmr::PostMessageA(form.handle(), qmr::WM_KEYDOWN, qmr::VK_RETURN, 0);
        // Should the host's definitions have taken over, Enter may never close the screen: a close
        // request later ends the call (as a refusal) instead of a hang. It is dropped once the
        // form is gone.
        QTimer::singleShot(10000,
                           [handle = form.handle()] { qmr::PostMessageA(handle, qmr::WM_CLOSE, 0, 0); });
    };
    const qmr::Variant params[] = {qmr::Variant::fromPointer(&produtos), qmr::Variant("N")};
    qmr::OleVariant retorno;

    EXPECT_TRUE(criaTela(params, 1, retorno));
    EXPECT_TRUE(produtos.fieldByName("DESCRICAO").asString().starts_with("JO"))
        << produtos.fieldByName("DESCRICAO").asString();
    EXPECT_TRUE(produtos.filter().ends_with(" LIKE 'JO%'")) << produtos.filter();
    EXPECT_GE(produtos.indexDefs().indexOf("descricao"), 0);
    EXPECT_EQ(produtos.indexDefs().indexOf("descricao"), produtos.indexDefs().indexOf("DESCRICAO"));
    EXPECT_EQ(hostDefinitionsCalled, 0);
    EXPECT_EQ(stFilter, "host's filter");
    EXPECT_EQ(stColuna, "host's column");
    EXPECT_EQ(frmPesquisa, nullptr);
}

} // namespace

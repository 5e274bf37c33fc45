// What the package shows a host besides its entry point: the screen unit's class, Condicao and
// the unit variables, read from the package's dynamic symbol table as the loader sees it.

#include <QProcess>
#include <gtest/gtest.h>

#include <string>

namespace {

/// The demangled names the package defines for the dynamic linker.
std::string exportedNames() {
    QProcess nm;
    nm.start("nm", {"--dynamic", "--defined-only", "--demangle", QMR_PACKAGE_FILE});
    if (!nm.waitForFinished(30000) || nm.exitStatus() != QProcess::NormalExit || nm.exitCode() != 0)
        ADD_FAILURE() << "nm could not read " << QMR_PACKAGE_FILE << ": "
                      << nm.readAllStandardError().toStdString();
    return nm.readAllStandardOutput().toStdString();
}

} // namespace

TEST(PackageInterface, exportsTheScreenUnitsClassFunctionAndVariables) {
    const std::string names = exportedNames();
    for (const char* name :
         {" CriaTelaQmr41726\n", " Initialize\n", " Finalize\n", " TfrmPesquisa::TfrmPesquisa()\n",
          " TfrmPesquisa::sbtEnterClick(", " typeinfo for TfrmPesquisa\n", " Condicao(bool, ",
          " frmPesquisa\n", " stFilter", " stColuna"})
        EXPECT_NE(names.find(name), std::string::npos) << "not exported:" << name;
    // The search's own helpers stay inside the package.
    EXPECT_EQ(names.find("combinableBaseFilter"), std::string::npos);
}

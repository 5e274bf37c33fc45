// Loading packages: a library that is missing or lacks a routine is refused with a clear error.
#include <qmr41726/QmrVersion.h>
#include <qmr41726/ui/TPackage.h>

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>

using namespace qmr;

namespace {

std::string loadError(const std::string& path) {
    try {
        TPackage::load(path);
    } catch (const EPackageError& error) {
        return error.Message();
    }
    return "no error";
}

TEST(PackageTest, missingLibraryIsRefusedNamingThePath) {
    const std::string message = loadError("/nonexistent/libPKG_NADA.so");
    EXPECT_TRUE(message.starts_with("Cannot load package /nonexistent/libPKG_NADA.so: ")) << message;
}

TEST(PackageTest, libraryThatIsNoPackageIsRefusedBeforeAnyOfItsCodeRuns) {
    // The runtime itself is a shared library, but not a package: it records no ABI.
    const std::string runtime = QCoreApplication::applicationDirPath().toStdString() + "/libqmr_runtime.so";
    EXPECT_EQ(loadError(runtime), "Package " + runtime +
                                      " records no runtime ABI version (QmrPackageRuntimeAbi); rebuild it "
                                      "against runtime ABI " +
                                      std::to_string(QMR_RUNTIME_ABI_VERSION));
    EXPECT_EQ(loadError(QMR_UNRECORDED_PACKAGE), "Package " QMR_UNRECORDED_PACKAGE
                                                 " records no runtime ABI version (QmrPackageRuntimeAbi); "
                                                 "rebuild it against runtime ABI " +
                                                     std::to_string(QMR_RUNTIME_ABI_VERSION));
}

TEST(PackageTest, packageBuiltForAnotherRuntimeIsRefusedNamingBothVersions) {
    EXPECT_EQ(loadError(QMR_FOREIGN_ABI_PACKAGE),
              "Package " QMR_FOREIGN_ABI_PACKAGE " was built for runtime ABI " +
                  std::to_string(QMR_RUNTIME_ABI_VERSION + 1) + ", but this runtime is ABI " +
                  std::to_string(QMR_RUNTIME_ABI_VERSION));
}

TEST(PackageTest, packageWhoseLibraryIsMissingIsRefusedNamingTheLibrary) {
    const std::string message = loadError(QMR_DEPENDENT_PACKAGE);
    EXPECT_TRUE(message.starts_with("Cannot load package " QMR_DEPENDENT_PACKAGE ": ")) << message;
    EXPECT_NE(message.find("libqmr_vanished.so"), std::string::npos) << message;
}

} // namespace

namespace {

TEST(PackageTest, loadedPackageIsInitialisedOnLoadAndFinalisedOnUnload) {
    int finalizations = 0;
    {
        const std::unique_ptr<TPackage> package = TPackage::load(QMR_COUNTING_PACKAGE);
        auto initializations = reinterpret_cast<int (*)()>(package->procAddress("Initializations"));
        auto countIn = reinterpret_cast<void (*)(int*)>(package->procAddress("CountFinalizationsIn"));
        ASSERT_NE(initializations, nullptr);
        ASSERT_NE(countIn, nullptr);
        EXPECT_EQ(initializations(), 1);
        EXPECT_EQ(package->procAddress("NoSuchRoutine"), nullptr);
        countIn(&finalizations);
        EXPECT_EQ(finalizations, 0);
    }
    EXPECT_EQ(finalizations, 1);
}

} // namespace

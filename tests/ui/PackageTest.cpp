// Loading packages: a library that is missing or lacks a routine is refused with a clear error.
#include "host/ui/TPackage.h"

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

TEST(PackageTest, libraryWithoutThePackageRoutinesIsRefusedNamingTheRoutine) {
    // The runtime itself is a shared library, but not a package.
    const std::string runtime = QCoreApplication::applicationDirPath().toStdString() + "/libqmr_runtime.so";
    EXPECT_EQ(loadError(runtime), "Package " + runtime + " does not export the routine Initialize");
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

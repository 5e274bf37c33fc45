// Loading packages: a library that is missing or lacks a routine is refused with a clear error; a
// refused package runs none of its code, and the file checked is the file loaded.
#include <qmr41726/QmrVersion.h>
#include <qmr41726/ui/TPackage.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <dlfcn.h>

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

namespace {

/// Where a package is loaded from, and what becomes of it. The name is given as the test gives it,
/// from inside `cwd` (the folder the test runs in): a name without a folder is a file of that
/// folder, whatever the loader's search path holds.
struct PathCase {
    const char* label;
    std::string copiedAs; // the package copied into the test's folder under this name ("" none)
    std::string source;   // which package is copied
    std::string name;     // what TPackage::load is given
    std::string refusal;  // the start of the refusal, or "" when the load succeeds
};

class PackagePath : public ::testing::TestWithParam<PathCase> {};

TEST_P(PackagePath, theFileCheckedIsTheFileLoadedAndARefusedOneRunsNoCode) {
    const PathCase& c = GetParam();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string dir = folder.path().toStdString();
    const QString copy = QString::fromStdString(dir + "/" + c.copiedAs);
    if (!c.source.empty()) {
        ASSERT_TRUE(QFile::copy(QString::fromStdString(c.source), copy));
    } else if (!c.copiedAs.empty()) {
        QFile text(copy);
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("not a library\n");
    }
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    unsetenv("QMR_TEST_PACKAGE_CODE_RAN");
    std::string refusal;
    std::string loadedFrom;
    try {
        const std::unique_ptr<TPackage> package = TPackage::load(c.name);
        Dl_info info{};
        ASSERT_NE(dladdr(package->procAddress("Initializations"), &info), 0);
        loadedFrom = info.dli_fname;
    } catch (const EPackageError& error) {
        refusal = error.Message();
    }
    QDir::setCurrent(before);
    if (c.refusal.empty()) {
        EXPECT_EQ(refusal, "");
        EXPECT_EQ(loadedFrom, QFileInfo(copy).canonicalFilePath().toStdString());
    } else {
        EXPECT_TRUE(refusal.starts_with(c.refusal)) << refusal;
        EXPECT_EQ(getenv("QMR_TEST_PACKAGE_CODE_RAN"), nullptr) << "a refused package's constructors ran";
    }
}

const std::string kBare = "libqmr_counting_package.so";

INSTANTIATE_TEST_SUITE_P(
    Package, PackagePath,
    ::testing::Values(PathCase{"bareNameIsTheCurrentFoldersFile", kBare, QMR_COUNTING_PACKAGE, kBare, ""},
                      PathCase{"dotSlashNameAlike", kBare, QMR_COUNTING_PACKAGE, "./" + kBare, ""},
                      PathCase{"bareNameNeverComesFromTheSearchPath", "", "", kBare,
                               "Cannot load package " + kBare + ": No such file or directory"},
                      PathCase{"foreignPackageUnderAProperName", kBare, QMR_FOREIGN_ABI_PACKAGE, kBare,
                               "Package " + kBare + " was built for runtime ABI " +
                                   std::to_string(QMR_RUNTIME_ABI_VERSION + 1)},
                      PathCase{"unrecordedPackage", kBare, QMR_UNRECORDED_PACKAGE, kBare,
                               "Package " + kBare + " records no runtime ABI version"},
                      PathCase{"textFileIsNoLibrary", "notes.so", "", "notes.so",
                               "Cannot load package notes.so: it is not an ELF file"}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.label); });

} // namespace

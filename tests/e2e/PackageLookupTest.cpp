// How the host application finds the screen package and its data: the option, the environment
// variable, beside itself, then the installed tree relative to its own binary; and an installed
// tree moved elsewhere still runs a search.
#include "HostProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

const QStringList kChooseJo{"--keys", "touch:sbtJ touch:sbtO touch:sbtEnter"};

QString builtPackage() {
    return QFileInfo(QStringLiteral(QMR_HOST_EXE)).dir().filePath("libPKG_QMR41726.so");
}

QProcessEnvironment environmentWithPackage(const QString& value) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QMR41726_PACKAGE");
    if (!value.isNull())
        environment.insert("QMR41726_PACKAGE", value);
    return environment;
}

HostRun runBuiltHost(const QStringList& arguments, const QString& packageVariable) {
    return runProgram(QStringLiteral(QMR_HOST_EXE), arguments, environmentWithPackage(packageVariable));
}

void expectChoseARow(const HostRun& run, const std::string& what) {
    EXPECT_EQ(run.exitCode, 0) << what << "\n" << run.err.toStdString();
    EXPECT_TRUE(run.jsonValid) << what << "\n" << run.out.toStdString();
    EXPECT_TRUE(run.json.value("result").toBool()) << what << "\n" << run.out.toStdString();
}

void expectNoPackage(const HostRun& run, const QStringList& fragments, const std::string& what) {
    EXPECT_EQ(run.exitCode, 1) << what << "\n" << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << what << "\n" << run.out.toStdString();
    for (const QString& fragment : fragments)
        EXPECT_TRUE(run.err.contains(fragment.toUtf8()))
            << what << ": no " << fragment.toStdString() << " in\n"
            << run.err.toStdString();
}

/// The SDK installed from the build tree into a temporary prefix, then moved elsewhere.
class MovedInstall {
public:
    MovedInstall() {
        const QString first = m_dir.filePath("first");
        QProcess install;
        install.start(QStringLiteral(QMR_CMAKE_COMMAND),
                      {"--install", QStringLiteral(QMR_BINARY_DIR), "--prefix", first});
        if (!install.waitForFinished(120000) || install.exitCode() != 0) {
            ADD_FAILURE() << "cmake --install failed:\n" << install.readAllStandardError().toStdString();
            return;
        }
        m_root = m_dir.filePath("elsewhere/tree");
        if (!QDir().mkpath(m_dir.filePath("elsewhere")) || !QDir().rename(first, m_root))
            ADD_FAILURE() << "cannot move " << first.toStdString() << " to " << m_root.toStdString();
    }
    QString host() const { return m_root + "/bin/qmr41726-host"; }
    /// The one installed file whose name is `name`, wherever the library folder put it.
    QString find(const QString& name) const {
        QStringList found;
        collect(QDir(m_root), name, found);
        if (found.size() != 1)
            ADD_FAILURE() << name.toStdString() << " installed " << found.size() << " times";
        return found.value(0);
    }

private:
    static void collect(const QDir& dir, const QString& name, QStringList& found) {
        for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (entry.isDir())
                collect(QDir(entry.filePath()), name, found);
            else if (entry.fileName() == name)
                found << entry.filePath();
        }
    }
    QTemporaryDir m_dir;
    QString m_root;
};

} // namespace

TEST(PackageLookup, optionComesFirstThenTheEnvironmentVariable) {
    expectChoseARow(runBuiltHost(QStringList{"--package", builtPackage()} + kChooseJo, "/nowhere/libX.so"),
                    "--package over a wrong QMR41726_PACKAGE");
    expectChoseARow(runBuiltHost(kChooseJo, builtPackage()), "QMR41726_PACKAGE names the package");
    // A path the user names is the one used: a wrong one is reported, not passed over for the
    // package beside the host.
    expectNoPackage(runBuiltHost(kChooseJo, "/nowhere/libX.so"),
                    {"QMR41726_PACKAGE (environment): /nowhere/libX.so"}, "wrong variable");
    expectNoPackage(runBuiltHost(QStringList{"--package", "/nowhere/libY.so"} + kChooseJo, QString()),
                    {"--package: /nowhere/libY.so"}, "wrong option");
}

TEST(PackageLookup, movedInstalledTreeFindsItsRuntimePackageAndData) {
    MovedInstall tree;
    if (::testing::Test::HasFailure())
        return;
    const QProcessEnvironment clean = environmentWithPackage(QString());
    expectChoseARow(runProgram(tree.host(), kChooseJo, clean), "moved tree, default data");

    // Something beside the host is looked at before the installed package folder.
    const QString beside = QFileInfo(tree.host()).dir().filePath("libPKG_QMR41726.so");
    {
        QFile stray(beside);
        ASSERT_TRUE(stray.open(QIODevice::WriteOnly) && stray.write("not a library") > 0);
    }
    const HostRun strayRun = runProgram(tree.host(), kChooseJo, clean);
    EXPECT_EQ(strayRun.exitCode, 1);
    EXPECT_TRUE(strayRun.err.contains(beside.toUtf8())) << strayRun.err.toStdString();
    ASSERT_TRUE(QFile::remove(beside));

    // Without the installed package, the error names every place looked at.
    const QString installed = tree.find("libPKG_QMR41726.so");
    ASSERT_TRUE(QFile::remove(installed));
    expectNoPackage(runProgram(tree.host(), kChooseJo, clean),
                    {"beside the host: " + beside, "installed package folder: " + installed, "--package"},
                    "no package anywhere");

    // The default data is the installed catalogue, named when it is missing.
    const QString data = tree.find("produtos.csv");
    ASSERT_TRUE(QFile::remove(data));
    const HostRun noData = runProgram(tree.host(), kChooseJo, clean);
    EXPECT_EQ(noData.exitCode, 2);
    EXPECT_TRUE(noData.err.contains(data.toUtf8())) << noData.err.toStdString();
}

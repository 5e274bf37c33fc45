// The host application: loads the search screen package, builds a data set, calls the entry point
// once and reports what the call left behind as JSON. Run with --help for the command line.

#include "CallLog.h"
#include "CommandLine.h"
#include "DataSetFactory.h"
#include "HostIcon.h"
#include "JsonReport.h"
#include "ScriptRunner.h"

#include "host/data/TDataSet.h"
#include "host/rtl/Variant.h"
#include "host/ui/TApplication.h"
#include "host/ui/TPackage.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <iostream>

namespace {

constexpr int kExitCallReturned = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitScriptRanOut = 3;

/// The package's entry point, as the package exports it (C linkage, plain name).
using CriaTelaQmr41726Proc = bool (*)(const Variant* arParams, int arParamsHigh, OleVariant& oleRetorno);

int fail(int status, const std::string& message) {
    std::cerr << "qmr41726-host: " << message << '\n';
    return status;
}

/// The flag in the data set's code page; a character the code page lacks is a usage error.
AnsiString flagText(const std::string& flag) {
    try {
        return utf8ToAnsi(flag);
    } catch (const Exception& e) {
        throw UsageError("--flag \"" + flag + "\": " + e.Message());
    }
}

/// Without a window system the host runs on Qt's offscreen platform, unless the user chose one.
void chooseOffscreenPlatformWithoutDisplay() {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

bool hasDisplay() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

/// The parameter list of the call: the data set (or a stray integer) and the flag.
std::vector<Variant> buildParams(const HostOptions& options, const TDataSet& dataSet,
                                 const AnsiString& flag) {
    static int notADataSet = 0; // a real address that holds no data set
    std::vector<Variant> params{
        options.bogusDataset ? Variant::fromPointer(&notADataSet) : Variant::fromPointer(&dataSet),
        Variant(flag),
    };
    params.resize(std::size_t(options.params));
    return params;
}

CriaTelaQmr41726Proc entryPoint(const TPackage& package) {
    auto* proc = reinterpret_cast<CriaTelaQmr41726Proc>(package.procAddress("CriaTelaQmr41726"));
    if (!proc)
        throw EPackageError(package.path() + " exports no routine CriaTelaQmr41726");
    return proc;
}

/// Loads the package, calls its entry point once and prints the report.
int callScreen(const HostOptions& options, std::optional<std::vector<KeyStep>> script, TDataSet& dataSet,
               const AnsiString& flag) {
    TApplication application;
    application.setTitle("QMR41726 host");
    application.setIcon(hostIcon());
    const std::string packagePath = QDir(QCoreApplication::applicationDirPath())
                                        .filePath(QStringLiteral("libPKG_QMR41726.so"))
                                        .toStdString();
    std::unique_ptr<TPackage> package;
    CriaTelaQmr41726Proc criaTela = nullptr;
    try {
        package = TPackage::load(packagePath);
        criaTela = entryPoint(*package);
    } catch (const Exception& e) {
        return fail(kExitFailure, ansiToUtf8(e.Message()));
    }
    CallLog log(application, script ? CallLog::Mode::Scripted : CallLog::Mode::Interactive);
    ScriptRunner runner(std::move(script), &dataSet, log);
    runner.attach(application);
    std::vector<Variant> params = buildParams(options, dataSet, flag);
    Variant spare[1];
    OleVariant oleRetorno;
    const bool result = criaTela(params.empty() ? spare : params.data(), int(params.size()) - 1, oleRetorno);
    if (runner.fatalError())
        return fail(kExitUsage, runner.fatalError()->toStdString());
    if (runner.skippedSteps() > 0)
        std::cerr << "qmr41726-host: the screen closed before the script ended; " << runner.skippedSteps()
                  << " step(s) not run\n";
    std::cout << JsonReport::build(result, dataSet, log, runner, options.timings).toStdString() << std::flush;
    return runner.ranOut() ? kExitScriptRanOut : kExitCallReturned;
}

} // namespace

int main(int argc, char** argv) {
    HostOptions options;
    std::optional<std::vector<KeyStep>> script;
    AnsiString flag;
    std::unique_ptr<TDataSet> dataSet;
    try {
        options = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), QMR_DEFAULT_DATA);
        if (options.help) {
            std::cout << usageText();
            return kExitCallReturned;
        }
        if (options.keys)
            script = parseKeyScript(*options.keys);
        flag = flagText(options.flag);
        dataSet = DataSetFactory::create(options);
    } catch (const UsageError& e) {
        return fail(kExitUsage, std::string(e.what()) + "\nRun qmr41726-host --help for the options.");
    } catch (const std::exception& e) {
        return fail(kExitUsage, e.what());
    }
    chooseOffscreenPlatformWithoutDisplay();
    int qtArgc = 1; // the host's options are its own; Qt sees none of them
    QApplication app(qtArgc, argv);
    if (!script && !hasDisplay())
        return fail(kExitUsage, "there is no display to show the screen on; give a key script with --keys");
    try {
        return callScreen(options, std::move(script), *dataSet, flag);
    } catch (const std::exception& e) {
        // Only an error the screen itself does not catch gets here: the call did not return.
        return fail(kExitFailure, std::string("the entry point failed: ") + ansiToUtf8(e.what()));
    }
}

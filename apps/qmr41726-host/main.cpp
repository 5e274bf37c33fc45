// The host application: loads the search screen package, builds a data set, calls the entry point
// once (or, with --repeat, again after every call) and reports what each call left behind as JSON.
// Run with --help for the command line.

#include "CallLog.h"
#include "CommandLine.h"
#include "DataSetFactory.h"
#include "ExitStatus.h"
#include "HostIcon.h"
#include "HostLog.h"
#include "HostPaths.h"
#include "JsonReport.h"
#include "RepeatedCalls.h"
#include "ScriptRunner.h"

#include <qmr41726/data/dataset/TDataSet.h>
#include <qmr41726/framework/Language.h>
#include <qmr41726/rtl/MessageText.h>
#include <qmr41726/rtl/Variant.h>
#include <qmr41726/ui/TApplication.h>
#include <qmr41726/ui/TPackage.h>

#include <qmr41726/CriaTelaQmr41726.h>

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <iostream>

using namespace qmr;

namespace {

int fail(int status, const std::string& message) {
    std::cerr << "qmr41726-host: " << message << '\n';
    return status;
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

/// The package as loaded for the call: unloading it (last) runs its Finalize routine.
struct ScreenPackage {
    std::unique_ptr<TPackage> package;
    TCriaTelaQmr41726 criaTela = nullptr;
};

/// Loads the package found at `path` and finds its entry point; Exception if either fails.
ScreenPackage loadScreenPackage(const std::string& path) {
    ScreenPackage loaded{TPackage::load(path)};
    loaded.criaTela = loaded.package->procAddress<TCriaTelaQmr41726>(kCriaTelaQmr41726Name);
    if (!loaded.criaTela)
        throw EPackageError(nameExcerpt(loaded.package->path(), kPathExcerptBytes, TextEncoding::Utf8) +
                            " exports no routine " + kCriaTelaQmr41726Name);
    return loaded;
}

/// What the command line asked for, checked and loaded before any window exists.
struct HostRequest {
    HostOptions options;
    std::optional<std::vector<KeyStep>> script;
    AnsiString flag;
    Catalogue catalogue;
    std::string packageFile;
};

/// Parses the options and the script and loads the data; UsageError, KeyScriptError or DataError.
HostRequest prepare(const QStringList& arguments, const std::filesystem::path& binaryDir) {
    HostRequest request;
    request.options = parseCommandLine(arguments, defaultDataFile(binaryDir));
    if (request.options.help || request.options.version)
        return request;
    if (request.options.keys)
        request.script = parseKeyScript(*request.options.keys);
    request.flag = optionTextToAnsi(request.options.flag, "--flag");
    request.catalogue = DataSetFactory::load(request.options);
    return request;
}

/// The screen's language: --lang, else the locale's. Neither naming a catalogue leaves the texts
/// as laid out.
void chooseLanguage(const HostOptions& options) {
    const std::string wanted = options.language ? *options.language : localeLanguage();
    if (!setLanguage(wanted) && options.language)
        qCWarning(lcHost).noquote() << "no catalogue for --lang"
                                    << QString::fromStdString(quotedExcerpt(wanted, TextEncoding::Utf8))
                                    << "- the texts stay as laid out";
}

/// Loads the package, calls its entry point once (or as --repeat asks) and prints the report.
int callScreen(HostRequest& request) {
    chooseLanguage(request.options);
    TApplication application;
    application.setTitle("QMR41726 host");
    application.setIcon(hostIcon());
    application.setFit(request.options.fit);
    ScreenPackage screen;
    try {
        screen = loadScreenPackage(request.packageFile);
    } catch (const Exception& e) {
        return fail(kExitFailure, ansiToUtf8(e.Message()));
    }
    const RepeatedCalls::ScreenCall call = [&](TDataSet& dataSet) {
        std::vector<Variant> params = buildParams(request.options, dataSet, request.flag);
        Variant none[1]; // an empty list still passes a valid address
        OleVariant oleRetorno;
        return screen.criaTela(params.empty() ? none : params.data(), int(params.size()) - 1, oleRetorno);
    };
    if (request.options.repeat)
        return RepeatedCalls(application, request.options, std::move(request.script),
                             std::move(request.catalogue), call)
            .run();
    TDataSet& dataSet = *request.catalogue.dataSet;
    CallLog log(application, request.script ? CallLog::Mode::Scripted : CallLog::Mode::Interactive);
    ScriptRunner runner(std::move(request.script), &dataSet, log);
    runner.attach(application);
    const bool result = call(dataSet);
    if (runner.fatalError())
        return fail(kExitUsage, runner.fatalError()->toStdString());
    if (runner.skippedSteps() > 0)
        qCWarning(lcHost) << "the screen closed before the script ended;" << runner.skippedSteps()
                          << "step(s) not run";
    QJsonObject report = JsonReport::object(result, dataSet, log, runner, request.options.timings);
    report.insert("source", request.catalogue.source.json());
    std::cout << QJsonDocument(report).toJson(QJsonDocument::Indented).toStdString() << std::flush;
    return runner.ranOut() ? kExitScriptRanOut : kExitCallReturned;
}

} // namespace

int main(int argc, char** argv) {
    chooseOffscreenPlatformWithoutDisplay();
    // Qt takes its own options (-platform, -plugin, ...) out of the command line; the rest are the
    // host's. No window exists until the host's options have all been checked.
    QApplication app(argc, argv);
    HostRequest request;
    std::filesystem::path binaryDir;
    try {
        binaryDir = hostBinaryDir();
    } catch (const std::filesystem::filesystem_error& e) {
        return fail(kExitFailure, std::string("cannot find the host's own folder: ") + e.what());
    }
    try {
        request = prepare(QCoreApplication::arguments(), binaryDir);
    } catch (const UsageError& e) {
        return fail(kExitUsage, std::string(e.what()) + "\nRun qmr41726-host --help for the options.");
    } catch (const std::exception& e) {
        return fail(kExitUsage, e.what());
    }
    if (request.options.help || request.options.version) {
        std::cout << (request.options.help ? usageText() : versionText());
        return kExitCallReturned;
    }
    try {
        request.packageFile = findPackageFile(request.options.packagePath, binaryDir);
    } catch (const PackageNotFound& e) {
        return fail(kExitFailure, e.what());
    }
    if (!request.script && !hasDisplay())
        return fail(kExitUsage, "there is no display to show the screen on; give a key script with --keys");
    try {
        return callScreen(request);
    } catch (const std::exception& e) {
        // Only an error the screen itself does not catch gets here: the call did not return.
        return fail(kExitFailure, std::string("the entry point failed: ") + ansiToUtf8(e.what()));
    }
}

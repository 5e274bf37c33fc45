#include <qmr41726/ui/TPackage.h>

#include <qmr41726/ui/TApplication.h>

#include <qmr41726/ui/PackageFile.h>

#include <qmr41726/rtl/MessageText.h>

#include <dlfcn.h>

namespace qmr {

namespace {

using TPackageRoutine = void (*)();

/// The last loader error, or a fallback when the loader gave none. The loader's words quote the
/// path it was given, which may be anything.
std::string loaderError() {
    const char* error = dlerror();
    return error ? nameExcerpt(error, kForeignTextExcerptBytes, TextEncoding::Utf8)
                 : std::string("unknown error");
}

/// The package's path as messages show it.
std::string shown(const std::string& path) {
    return nameExcerpt(path, kPathExcerptBytes, TextEncoding::Utf8);
}

TPackageRoutine routine(void* library, const char* name) {
    return reinterpret_cast<TPackageRoutine>(dlsym(library, name));
}

/// Refuses a package built against another runtime before any of its code runs (its constructors
/// included): its classes would not match ours. The record is read from the file itself.
void checkAbiRecord(const PackageFile& file, const std::string& name) {
    const std::optional<int> record = file.exportedInt(TPackage::kAbiRecordName);
    const int ours = TPackage::runtimeAbiVersion();
    if (!record)
        throw EPackageError("Package " + name + " records no runtime ABI version (" +
                            TPackage::kAbiRecordName + "); rebuild it against runtime ABI " +
                            std::to_string(ours));
    if (*record != ours)
        throw EPackageError("Package " + name + " was built for runtime ABI " + std::to_string(*record) +
                            ", but this runtime is ABI " + std::to_string(ours));
}

} // namespace

std::unique_ptr<TPackage> TPackage::load(const std::string& path) {
    // The file checked is the file loaded: opened once, checked, then loaded by the absolute path
    // that opening resolved, never by a name the loader would look up on its own search path.
    const PackageFile file(path);
    const std::string name = shown(path);
    checkAbiRecord(file, name);
    dlerror();
    void* library = dlopen(file.resolvedPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        throw EPackageError("Cannot load package " + name + ": " + loaderError());
    // Both routines must be there before either runs: a package is initialised only when it can
    // also be finalised.
    for (const char* routineName : {"Initialize", "Finalize"}) {
        if (!routine(library, routineName)) {
            dlclose(library);
            throw EPackageError("Package " + name + " does not export the routine " + routineName);
        }
    }
    try {
        routine(library, "Initialize")();
    } catch (...) {
        dlclose(library); // not initialised, so not finalised either
        throw;
    }
    return std::unique_ptr<TPackage>(new TPackage(path, library));
}

struct TPackage::Impl {
    std::string path;
    void* library;
};

TPackage::TPackage(std::string path, void* library)
    : m_impl(std::make_unique<Impl>(Impl{std::move(path), library})) {}

TPackage::~TPackage() {
    // A destructor must not throw: an error of the package's finalisation goes to the
    // application's error handler, and the library is closed all the same.
    dispatchHandler([this] { routine(m_impl->library, "Finalize")(); });
    dlclose(m_impl->library);
}

EPackageError::~EPackageError() = default;

int TPackage::runtimeAbiVersion() noexcept {
    return QMR_RUNTIME_ABI_VERSION;
}

void* TPackage::procAddress(const char* name) const {
    return dlsym(m_impl->library, name);
}

const std::string& TPackage::path() const noexcept {
    return m_impl->path;
}

} // namespace qmr

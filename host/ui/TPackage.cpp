#include "host/ui/TPackage.h"

#include "host/ui/TApplication.h"

#include <dlfcn.h>

namespace qmr {

namespace {

using TPackageRoutine = void (*)();

/// The last loader error, or a fallback when the loader gave none.
std::string loaderError() {
    const char* error = dlerror();
    return error ? std::string(error) : std::string("unknown error");
}

TPackageRoutine routine(void* library, const char* name) {
    return reinterpret_cast<TPackageRoutine>(dlsym(library, name));
}

} // namespace

std::unique_ptr<TPackage> TPackage::load(const std::string& path) {
    dlerror();
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        throw EPackageError("Cannot load package " + path + ": " + loaderError());
    // Both routines must be there before either runs: a package is initialised only when it can
    // also be finalised.
    for (const char* name : {"Initialize", "Finalize"}) {
        if (!routine(library, name)) {
            dlclose(library);
            throw EPackageError("Package " + path + " does not export the routine " + name);
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

TPackage::TPackage(std::string path, void* library) : m_path(std::move(path)), m_library(library) {}

TPackage::~TPackage() {
    // A destructor must not throw: an error of the package's finalisation goes to the
    // application's error handler, and the library is closed all the same.
    dispatchHandler([this] { routine(m_library, "Finalize")(); });
    dlclose(m_library);
}

void* TPackage::procAddress(const char* name) const {
    return dlsym(m_library, name);
}

} // namespace qmr

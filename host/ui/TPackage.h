#pragma once
/// \file
/// Loading packages: a shared library with an "Initialize" and a "Finalize" routine, which the
/// loader runs after loading and before unloading, and a record of the runtime ABI it was built
/// against, which the loader checks before either.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/QmrVersion.h>
#include <qmr41726/rtl/Exception.h>

#include <memory>
#include <string>

/// Put once in one source file of a package: records the runtime ABI version the package is built
/// against, under the exported name TPackage::load looks for.
#define QMR_PACKAGE_RUNTIME_ABI()                                                                            \
    extern "C" __attribute__((visibility("default"))) const int QmrPackageRuntimeAbi = QMR_RUNTIME_ABI_VERSION

namespace qmr {

/// A loaded package; unloading runs its Finalize routine and closes the library.
class QMR_RUNTIME_EXPORT TPackage {
public:
    /// The exported name of a package's ABI record (see QMR_PACKAGE_RUNTIME_ABI).
    static constexpr const char* kAbiRecordName = "QmrPackageRuntimeAbi";

    /// Loads the library at `path`, checks its ABI record and runs its Initialize routine. The
    /// record is read from the file before any of its code runs, and the file read is the file
    /// loaded: `path` is a file's path, so a name without a folder is the current folder's file,
    /// never one found on the dynamic loader's search path.
    /// EPackageError names the path and what failed: the library or one it needs not found, no ABI
    /// record or one of another runtime, a routine missing.
    static std::unique_ptr<TPackage> load(const std::string& path);
    ~TPackage();
    TPackage(const TPackage&) = delete;
    TPackage& operator=(const TPackage&) = delete;

    /// The exported routine of that plain name, or nullptr.
    void* procAddress(const char* name) const;
    /// The exported routine of that plain name as a function of type `Proc`, or nullptr.
    template <class Proc> Proc procAddress(const char* name) const {
        return reinterpret_cast<Proc>(procAddress(name));
    }
    /// The path the package was loaded from.
    const std::string& path() const noexcept;

    /// The runtime ABI version this runtime implements (its SONAME's number).
    static int runtimeAbiVersion() noexcept;

private:
    TPackage(std::string path, void* library);

    // Behind a pointer so that how a loaded package is held can change without a new SOVERSION.
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

/// A package could not be loaded or lacks a routine.
class QMR_RUNTIME_EXPORT EPackageError : public Exception {
public:
    using Exception::Exception;
    ~EPackageError() override;
};

} // namespace qmr

#pragma once
// Loading packages: a shared library with an "Initialize" and a "Finalize" routine, which the
// loader runs after loading and before unloading.

#include "host/rtl/Exception.h"

#include <memory>
#include <string>

namespace qmr {

/// A loaded package; unloading runs its Finalize routine and closes the library.
class TPackage {
public:
    /// Loads the library at `path` and runs its Initialize routine. EPackageError names the path
    /// and what failed (library not found, a routine missing).
    static std::unique_ptr<TPackage> load(const std::string& path);
    ~TPackage();
    TPackage(const TPackage&) = delete;
    TPackage& operator=(const TPackage&) = delete;

    /// The exported routine of that plain name, or nullptr.
    void* procAddress(const char* name) const;
    const std::string& path() const noexcept { return m_path; }

private:
    TPackage(std::string path, void* library);
    std::string m_path;
    void* m_library;
};

/// A package could not be loaded or lacks a routine.
class EPackageError : public Exception {
public:
    using Exception::Exception;
};

} // namespace qmr

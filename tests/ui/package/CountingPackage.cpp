// A minimal package for the loader's tests: it counts how often it was initialised and tells a
// counter of the test program when it is finalised (its own memory is gone after unloading).
// Linked into several packages: a proper one (with AbiRecord.cpp), one with the ABI record of
// another runtime (ForeignAbiRecord.cpp), one without a record, and one that needs a library the
// system cannot find (VanishedDependency.cpp), to see the loader refuse the last three.

#include <cstdlib>

namespace {
int initializations = 0;

/// Leaves a mark in the process's environment as soon as any code of the package runs: its
/// static constructors run before Initialize, when the library is loaded.
__attribute__((constructor)) void markLoaded() {
    setenv("QMR_TEST_PACKAGE_CODE_RAN", "1", 1);
}
int* finalizations = nullptr;
} // namespace

extern "C" {

__attribute__((visibility("default"))) void Initialize() {
    ++initializations;
}

__attribute__((visibility("default"))) void Finalize() {
    if (finalizations)
        ++*finalizations;
}

__attribute__((visibility("default"))) int Initializations() {
    return initializations;
}

__attribute__((visibility("default"))) void CountFinalizationsIn(int* counter) {
    finalizations = counter;
}
}

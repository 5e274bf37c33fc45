// A minimal package for the loader's tests: it counts how often it was initialised and tells a
// counter of the test program when it is finalised (its own memory is gone after unloading).
// Built several times: as a proper package, with the ABI record of another runtime, and without
// one, to see the loader refuse the last two.

#include "host/ui/TPackage.h"

#if defined(QMR_TEST_FOREIGN_ABI)
extern "C" __attribute__((visibility("default"))) const int QmrPackageRuntimeAbi =
    QMR_RUNTIME_ABI_VERSION + 1;
#elif !defined(QMR_TEST_NO_ABI_RECORD)
QMR_PACKAGE_RUNTIME_ABI();
#endif

#if defined(QMR_TEST_NEEDS_VANISHED_LIBRARY)
extern "C" int vanishedLibraryRoutine();
#endif

namespace {
int initializations = 0;
int* finalizations = nullptr;
} // namespace

extern "C" {

__attribute__((visibility("default"))) void Initialize() {
#if defined(QMR_TEST_NEEDS_VANISHED_LIBRARY)
    initializations += vanishedLibraryRoutine();
#endif
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

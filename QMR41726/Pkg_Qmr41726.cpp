// The package unit: the routines the runtime's package loader calls after loading the package and
// before unloading it. A host may initialise the package more than once; the screen unit's
// initialisation runs on the first call only and its finalisation on the last.

#include "QMR41726/Cli_Qmr41726.h"

using namespace qmr;

namespace {

/// How many times the package is initialised and not yet finalised.
int initializationCount = 0;

} // namespace

extern "C" __attribute__((visibility("default"))) void Initialize() {
    if (initializationCount++ == 0)
        initializeCliQmr41726();
}

extern "C" __attribute__((visibility("default"))) void Finalize() {
    // A Finalize without a matching Initialize has nothing to undo.
    if (initializationCount == 0)
        return;
    if (--initializationCount == 0)
        finalizeCliQmr41726();
}

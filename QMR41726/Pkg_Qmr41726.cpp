// The package unit: the routines the runtime's package loader calls after loading the package and
// before unloading it. A host may initialise the package more than once; the screen unit's
// initialisation runs on the first call only and its finalisation on the last.

#include "QMR41726/Cli_Qmr41726.h"
#include "host/ui/TPackage.h"

using namespace qmr;

// The runtime's package loader refuses this package unless it was built for the runtime it runs on.
QMR_PACKAGE_RUNTIME_ABI();

namespace {

/// How many times the package is initialised and not yet finalised.
int initializationCount = 0;

} // namespace

extern "C" QMR41726_EXPORT void Initialize() {
    if (initializationCount++ == 0)
        initializeCliQmr41726();
}

extern "C" QMR41726_EXPORT void Finalize() {
    // A Finalize without a matching Initialize has nothing to undo.
    if (initializationCount == 0)
        return;
    if (--initializationCount == 0)
        finalizeCliQmr41726();
}

// The package unit: the routines the runtime's package loader calls after loading the package and
// before unloading it. Loading registers the runtime's classes the screen's layout names and
// initialises the screen unit. A host may initialise the package more than once; that work runs on
// the first call only and the unit's finalisation on the last.

#include "Cli_Qmr41726.h"
#include <qmr41726/ui/TPackage.h>
#include <qmr41726/ui/forms/TClassRegistry.h>

using namespace qmr;

// The runtime's package loader refuses this package unless it was built for the runtime it runs on.
QMR_PACKAGE_RUNTIME_ABI();

namespace {

/// How many times the package is initialised and not yet finalised.
int initializationCount = 0;

} // namespace

extern "C" QMR41726_EXPORT void Initialize() {
    if (initializationCount++ > 0)
        return;
    // Registered from this explicit load step, never by static constructors, which would run
    // behind the host's back whenever a library is loaded.
    registerRuntimeClasses();
    initializeCliQmr41726();
}

extern "C" QMR41726_EXPORT void Finalize() {
    // A Finalize without a matching Initialize has nothing to undo.
    if (initializationCount == 0)
        return;
    if (--initializationCount == 0)
        finalizeCliQmr41726();
}

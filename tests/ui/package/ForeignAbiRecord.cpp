// The record of a package built for another runtime ABI than this one.
#include <qmr41726/QmrVersion.h>

extern "C" __attribute__((visibility("default"))) const int QmrPackageRuntimeAbi =
    QMR_RUNTIME_ABI_VERSION + 1;

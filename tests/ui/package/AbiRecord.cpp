// The record of the runtime ABI a proper package carries.
#include <qmr41726/ui/TPackage.h>

QMR_PACKAGE_RUNTIME_ABI();

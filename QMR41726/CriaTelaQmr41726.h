#pragma once
/// \file
/// What a host needs to call the search screen package: the entry point's type, the plain name the
/// package exports it under, and the package's file name. The host loads the package with
/// qmr::TPackage::load and finds the entry point with procAddress<TCriaTelaQmr41726>().

#include <qmr41726/rtl/Variant.h>

/// Shows the search screen over the data set whose address is in arParams[0] (arParams[1], "S" or
/// not, says whether the data set's own filter is dropped) and returns whether the user chose a
/// row; the data set then stands on it. `arParams` points at `arParamsHigh + 1` variants.
using TCriaTelaQmr41726 = bool (*)(const qmr::Variant* arParams, int arParamsHigh,
                                   qmr::OleVariant& oleRetorno);

/// The name the package exports its entry point under (C linkage, no decoration).
inline constexpr char kCriaTelaQmr41726Name[] = "CriaTelaQmr41726";

/// The package's file name. The SDK installs it in a folder of its own under the library
/// directory (lib/\<multiarch\>/qmr41726 on Debian); the build tree puts it beside the programs.
inline constexpr char kPackageQmr41726FileName[] = "libPKG_QMR41726.so";

#pragma once
// Where the host finds the screen package and its default data. Both are found relative to the
// host's own binary, never by a path compiled in, so an installed tree works wherever it is copied.

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

/// No package at any of the places looked at; the message names each of them.
class PackageNotFound : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The folder the running host's binary is in (symbolic links resolved).
std::filesystem::path hostBinaryDir();

/// The product catalogue of the installed data folder, found from `binaryDir`.
std::string defaultDataFile(const std::filesystem::path& binaryDir);

/// The package file to load, in this order: `option` (--package), the environment variable
/// QMR41726_PACKAGE, the file beside the host (the build tree), the installed package folder
/// relative to `binaryDir`. A path given by the option or the variable is the one used, so a
/// mistyped one is reported rather than passed over. PackageNotFound naming every place looked at.
std::string findPackageFile(const std::optional<std::string>& option, const std::filesystem::path& binaryDir);

#pragma once
// Builds the data set the host hands to the screen, from the file and switches of the command line.

#include "Catalogue.h"
#include "CommandLine.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace qmr {
class TColumnStore;
class TDataSet;
} // namespace qmr

/// The data could not be loaded or the data set refused a setting; the message names the file or
/// the setting and why.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Makes the data sets of a run: loads the rows once and wraps them as the options ask.
class DataSetFactory {
public:
    /// What a failed load does when there is a local copy (--cache): serve the copy (the first
    /// load), or raise (a refresh, which keeps the catalogue in use instead).
    enum class OnFailure { ServeLocalCopy, Raise };

    /// Loads the rows of the CSV file, SQLite query or server query, opens a client data set (or a
    /// plain one with --plain) on them, applies --filter and --filtered, and returns them as a
    /// catalogue: the data set, its state as loaded and its source stamped with the time the load
    /// ended. A load that succeeds is kept as the local copy, when there is one.
    /// Safe on any thread (the data set is not shared until it is handed over). DataError on any
    /// failure.
    static Catalogue load(const HostOptions& options, OnFailure onFailure = OnFailure::ServeLocalCopy);

    /// The source the options name: --db's URL, else --data's file.
    static const std::string& sourceName(const HostOptions& options);
};

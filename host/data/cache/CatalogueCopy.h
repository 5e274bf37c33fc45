#pragma once
// A terminal's local copy of its catalogue, so that it keeps selling while the server is down: the
// loaded rows written to one file, and opened again by mapping that file, its columns read in
// place. Nothing is parsed or rebuilt on open, so a copy of ten million rows opens in a fraction
// of a second. docs/catalogue-copy.md describes the file.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/data/store/TColumnStore.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace qmr {

/// The kinds of failure a copy's write or open can meet.
enum class CopyErrorKind {
    /// Nothing at the copy's path (open only).
    NotFound,
    /// The path names a directory, a named pipe, a device... (see FileKind.h).
    NotRegularFile,
    /// The system refused a call: no permission, no space, an I/O error. The message holds the
    /// system's reason.
    SystemError,
    /// Not a copy, or one cut short, damaged (its checksum fails) or whose contents point outside
    /// it.
    Damaged,
    /// A copy written in another format version.
    OtherVersion,
    /// A whole copy, written longer ago than the age allowed.
    TooOld,
};

/// The kind as a word for reports and logs: "not-found", "not-a-regular-file", "system-error",
/// "damaged", "other-version", "too-old".
QMR_RUNTIME_EXPORT const char* copyErrorKindName(CopyErrorKind kind) noexcept;

/// Why a copy was not written or not opened; the message names the path and what is wrong.
struct CopyError {
    /// What sort of failure it was: choose what to do from this, never from the words.
    CopyErrorKind kind = CopyErrorKind::Damaged;
    /// What failed and where, for a log or the user.
    std::string message;
};

/// An opened copy: its rows and when they were written, or why it could not be used.
struct CatalogueCopy {
    /// The rows, read from the file's mapping (kept open as long as the store lives); nullptr
    /// when the copy could not be used.
    std::shared_ptr<const TColumnStore> store;
    /// When the copy was written (to the millisecond).
    std::chrono::system_clock::time_point writtenAt;
    /// Why the copy could not be used; empty when it was opened.
    std::optional<CopyError> error;

    /// Whether the copy was opened and its rows are in `store`.
    explicit operator bool() const noexcept { return store != nullptr; }
};

/// Writes `store` to `path` atomically: to a temporary file in the same folder, synced, then
/// renamed over `path` and the folder synced. On failure the previous copy at `path` is left as it
/// was, the temporary file is removed, and the error names the path and the system's reason.
/// `writtenAt` is the time recorded in the copy.
QMR_RUNTIME_EXPORT std::optional<CopyError>
writeCatalogueCopy(const TColumnStore& store, const std::string& path,
                   std::chrono::system_clock::time_point writtenAt = std::chrono::system_clock::now());

/// Opens the copy at `path` if it was written at most `maxAge` ago. A missing, empty, cut, damaged
/// or foreign file, one of another format version, and one too old are refused with an error naming
/// the path and what is wrong (the age, for one too old). A copy dated in the future (the clock was
/// set back since) counts as new.
QMR_RUNTIME_EXPORT CatalogueCopy openCatalogueCopy(const std::string& path, std::chrono::seconds maxAge);

} // namespace qmr

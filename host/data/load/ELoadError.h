#pragma once
// Why a load failed, in a form a program can act on: every loader raises ELoadError with the kind
// of failure beside its message, so that a caller chooses what to do (fall back, retry, tell the
// operator) from the kind, never from the words.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/rtl/Exception.h>

#include <memory>

namespace qmr {

/// The kinds of failure a load can meet.
enum class LoadErrorKind {
    /// Nothing at the file's path.
    NotFound,
    /// The path names a directory, a named pipe, a device, a socket, a link loop or a file of the
    /// system (/dev, /proc), none of which is read as a data file.
    NotRegularFile,
    /// The file is there but could not be read whole: no permission, an I/O error, a database
    /// locked past the wait, or a file that changed while it was read.
    Unreadable,
    /// What was named or read is not what its loader reads: a URL, a CSV file's text or values,
    /// a file that is no SQLite database, a value the column cannot hold, a request that does not
    /// fit its source (a query for a CSV file, none for a database).
    Malformed,
    /// The source was reached and refused the load: a login or a query the database refused, a
    /// driver that is not installed, or a bound of the load passed (rows, bytes, memory).
    Refused,
    /// The load's time limit passed.
    Timeout,
    /// No server answered at the address.
    ServerUnreachable,
};

/// The kind as a word for reports and logs: "not-found", "not-a-regular-file", "unreadable",
/// "malformed", "refused", "timeout", "server-unreachable".
QMR_RUNTIME_EXPORT const char* loadErrorKindName(LoadErrorKind kind) noexcept;

/// A load that failed; the message names the source and what failed, the kind says what sort of
/// failure it was. A data error like any other, so that a catch of EDatabaseError still takes it.
class QMR_RUNTIME_EXPORT ELoadError : public EDatabaseError {
public:
    /// An error of kind `kind` with `message` (Windows-1252).
    ELoadError(LoadErrorKind kind, AnsiString message);
    /// Copies hold their own copy of the kind and the message: no copy is ever left empty.
    ///@{
    ELoadError(const ELoadError& other);
    ELoadError& operator=(const ELoadError& other);
    ///@}
    ~ELoadError() override;

    /// What sort of failure it was: choose what to do from this, never from the message's words.
    LoadErrorKind kind() const noexcept;

private:
    // Behind a pointer, as the message is in Exception, so that more can be said about a failure
    // without changing the class's layout.
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qmr

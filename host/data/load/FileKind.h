#pragma once
// Paths read or written as plain files. Opening a FIFO blocks until someone opens its other end, a
// device or /dev/stdout sends the bytes somewhere else entirely, and a directory cannot be read as
// a file at all; each is named for what it is before anything is opened. The loaders apply this
// rule to their files, and the host application to the other files it reads and writes.

#include <string>
#include <string_view>

namespace qmr {

/// What keeps a path from being a regular file, and the words for it.
struct FileKindProblem {
    enum class Kind {
        None,
        /// Nothing at the path.
        Missing,
        Directory,
        Fifo,
        Device,
        Socket,
        LinkLoop,
        /// Anything under /dev or /proc, whatever it points to (/dev/stdout, /proc/self/...).
        SystemFile,
        /// The path cannot be examined (a name too long, a folder without permission).
        Unexaminable,
        /// Anything else that is not a regular file.
        Other,
    };

    Kind kind = Kind::None;
    /// What the path is: "no such file", "is a directory", "is a FIFO (named pipe)", "is a
    /// device", "is a socket", "is a symbolic link loop", "is a special file of the system",
    /// "cannot be examined (...)", "is not a regular file"; empty for Kind::None.
    std::string words;

    explicit operator bool() const noexcept { return kind != Kind::None; }
    /// `name` followed by the words, as a message says it: "a.csv: no such file", "b is a directory".
    std::string about(std::string_view name) const;
};

/// What is wrong with using `path` as a regular file; Kind::None when it is one.
FileKindProblem fileKindProblem(const std::string& path);

} // namespace qmr

#pragma once
// Paths the host reads or writes as plain files. Opening a FIFO blocks until someone opens its
// other end, a device or /dev/stdout sends the bytes somewhere else entirely, and a directory
// cannot be opened at all; each is named for what it is before anything is opened.

#include <string>

/// What is wrong with using `path` as a regular file: "no such file" when it does not exist (unless
/// `mayBeMissing`: a file about to be written), "is a directory", "is a FIFO (named pipe)", "is a
/// device", "is a socket", "is a symbolic link loop", or "is a special file of the system" for
/// anything under /dev or /proc (such as /dev/stdout, whatever it points to). Empty when it is, or
/// may become, a regular file.
std::string notRegularFile(const std::string& path, bool mayBeMissing);

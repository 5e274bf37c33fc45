#pragma once
// The generated rows as the CSV file the data layer's loader reads.

#include "RowGenerator.h"

#include <cstdint>
#include <string>
#include <vector>

/// Writes the rows with a typed header to `path`; returns the file's size in bytes. Raises
/// std::runtime_error naming the path when it cannot be written.
std::uintmax_t writeCsvFile(const std::vector<BenchRow>& rows, const std::string& path);

/// A file in /tmp that is removed when this object goes.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : m_path(std::move(path)) {}
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const noexcept { return m_path; }

private:
    std::string m_path;
};

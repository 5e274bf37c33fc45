#pragma once
// Loading real data into a column store: CSV files and SQLite queries. A load either succeeds
// whole or raises ELoadError (an EDatabaseError) naming the file, line and column, with the kind
// of failure; nothing is half-loaded. Only regular files are read: a missing file, a directory, a
// named pipe or a device is refused, named for what it is, before anything is opened.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/data/load/ELoadError.h>
#include <qmr41726/data/store/TColumnStore.h>

#include <cstdint>
#include <memory>
#include <string>

namespace qmr {

/// The memory a load takes by default (LoadLimits::maxBytes): half of what the process may use,
/// at most LoadLimits::kDefaultMaxBytes. What it may use is its cgroup's memory limit when one is
/// set (cgroup v2 memory.max, v1 memory.limit_in_bytes, the smallest along its path), else the
/// machine's MemAvailable; read again at each call, since either changes while the host runs.
QMR_RUNTIME_EXPORT std::uint64_t defaultLoadMemory();

/// Loads a CSV file (RFC 4180 quoting, UTF-8). The header names the fields and may type them:
/// `CODIGO:integer,DESCRICAO:string(40),PRECO:float,ATIVO:string(1),ID:integer:hidden`.
/// An untyped entry is a string sized to its longest value; empty values are null except in
/// string fields.
QMR_RUNTIME_EXPORT std::shared_ptr<const TColumnStore> loadCsvFile(const std::string& path);
/// The same from text in memory; `sourceName` names it in error messages.
QMR_RUNTIME_EXPORT std::shared_ptr<const TColumnStore> loadCsvText(std::string_view text,
                                                                   const std::string& sourceName);

/// Bounds on one load (a CSV file, an SQLite query, a database server's query), so that a source
/// without end (a recursive CTE that never stops, a file grown past any catalogue) is refused instead
/// of taking the machine's memory or the user's patience. A load past one is refused with an error
/// naming the bound, the source and the row where it passed; nothing is loaded.
struct LoadLimits {
    /// The bounds a load takes unless the host sets others.
    ///@{
    static constexpr long long kDefaultMaxRows = 100000000;
    /// The most memory a load takes by default, on a machine with room to spare; see
    /// defaultLoadMemory().
    static constexpr std::uint64_t kDefaultMaxBytes = std::uint64_t(2) << 30;
    static constexpr int kDefaultTimeoutSeconds = 60;
    ///@}
    /// The most bytes one value may hold, from any source; a longer one is refused by its row and
    /// column before it is copied.
    static constexpr std::uint64_t kMaxValueBytes = std::uint64_t(64) << 20;

    /// Rows the query may return.
    long long maxRows = kDefaultMaxRows;
    /// Bytes of memory the load may take: what the store will hold (text, offsets, numbers), the
    /// rows held while column types are still unknown, and the room a growing column takes while
    /// it is copied to its larger home. A load refused at this bound has kept the process's peak
    /// resident memory within 1.25 times it plus 200 MB.
    std::uint64_t maxBytes = defaultLoadMemory();
    /// Seconds from the query's start to its last row; 0 for no limit.
    int timeoutSeconds = kDefaultTimeoutSeconds;
};

/// loadCsvFile within `limits`' memory (LoadLimits::maxBytes); a CSV file has no query to time.
QMR_RUNTIME_EXPORT std::shared_ptr<const TColumnStore> loadCsvFile(const std::string& path,
                                                                   const LoadLimits& limits);

/// Runs `query` on the SQLite database at `path` and loads its rows. Declared column types map to
/// field types; VARCHAR(n) gives size n; text without a length gets its longest value's length.
/// While another connection holds the file's write lock, the load waits for it up to 5 seconds.
/// A query with a parameter (`?`, `:name`, `$1`) is refused naming it: nothing would bind it.
QMR_RUNTIME_EXPORT std::shared_ptr<const TColumnStore> loadSqlite(const std::string& path,
                                                                  const std::string& query);
/// The same within `limits`.
QMR_RUNTIME_EXPORT std::shared_ptr<const TColumnStore>
loadSqlite(const std::string& path, const std::string& query, const LoadLimits& limits);

} // namespace qmr

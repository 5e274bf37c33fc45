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

/// Loads a CSV file (RFC 4180 quoting, UTF-8). The header names the fields and may type them:
/// `CODIGO:integer,DESCRICAO:string(40),PRECO:float,ATIVO:string(1),ID:integer:hidden`.
/// An untyped entry is a string sized to its longest value; empty values are null except in
/// string fields.
QMR_RUNTIME_EXPORT std::shared_ptr<const TColumnStore> loadCsvFile(const std::string& path);
/// The same from text in memory; `sourceName` names it in error messages.
QMR_RUNTIME_EXPORT std::shared_ptr<const TColumnStore> loadCsvText(std::string_view text,
                                                                   const std::string& sourceName);

/// Bounds on one load of a query's rows (SQLite or a database server), so that a query without
/// end (a recursive CTE that never stops) is refused instead of taking the machine's memory or
/// the user's patience. A query past one is refused with an error naming the bound and the row
/// where it passed; nothing is loaded. The defaults are far past any real catalogue: 10M rows of
/// four fields hold about 0.5 GB and load from SQLite in well under a minute.
struct LoadLimits {
    /// The bounds a load takes unless the host sets others.
    ///@{
    static constexpr long long kDefaultMaxRows = 100000000;
    static constexpr std::uint64_t kDefaultMaxBytes = std::uint64_t(4) << 30;
    static constexpr int kDefaultTimeoutSeconds = 60;
    ///@}

    /// Rows the query may return.
    long long maxRows = kDefaultMaxRows;
    /// Bytes the loaded values may take (text bytes, 8 a number, and the rows held while column
    /// types are still unknown).
    std::uint64_t maxBytes = kDefaultMaxBytes;
    /// Seconds from the query's start to its last row; 0 for no limit.
    int timeoutSeconds = kDefaultTimeoutSeconds;
};

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

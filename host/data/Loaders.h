#pragma once
// Loading real data into a column store: CSV files and SQLite queries. A load either succeeds
// whole or raises EDatabaseError naming the file, line and column; nothing is half-loaded.

#include "host/QmrRuntimeExport.h"
#include "host/data/TColumnStore.h"

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

/// Runs `query` on the SQLite database at `path` and loads its rows. Declared column types map to
/// field types; VARCHAR(n) gives size n; text without a length gets its longest value's length.
/// While another connection holds the file's write lock, the load waits for it up to 5 seconds.
QMR_RUNTIME_EXPORT std::shared_ptr<const TColumnStore> loadSqlite(const std::string& path,
                                                                  const std::string& query);

} // namespace qmr

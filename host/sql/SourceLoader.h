#pragma once
// One front door for data: a source named the way a user names it (a CSV file, an SQLite database
// and its query, a database server's URL and its query) is loaded by the loader that reads it, and
// the caller gets the rows or a structured error, never an exception.
//
//   qmr::LoadResult rows = qmr::loadSource("/usr/share/qmr41726/produtos.csv");
//   qmr::LoadResult rows = qmr::loadSource("postgresql://pdv@db.loja/estoque", "SELECT * FROM produtos");
//   if (!rows)
//       log(rows.error->kind, rows.error->message);

#include <qmr41726/QmrSqlExport.h>
#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/sql/SqlLoader.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qmr {

/// What a source's name names.
enum class SourceKind {
    CsvFile,
    SqliteFile,
    /// A database server, reached through Qt SQL.
    Server,
};

/// The kind of source `name` names: a server for a URL (`scheme://...`, `odbc:DSN`; the schemes
/// read are those of parseDatabaseUrl), an SQLite database for a file whose name ends in .db,
/// .sqlite or .sqlite3 (any letter case), and a CSV file for any other name.
QMR_SQL_EXPORT SourceKind sourceKindOf(std::string_view name);

/// Why a source gave no rows: the kind of failure, and the message naming the source and what
/// failed (Windows-1252, like every message of the runtime).
struct QMR_SQL_EXPORT LoadError {
    /// What sort of failure it was: choose what to do from this, never from the words.
    LoadErrorKind kind = LoadErrorKind::Malformed;
    /// What failed and where, for a log or the user (Windows-1252: ansiToUtf8 before printing).
    AnsiString message;
};

/// The rows a source gave, or why it gave none.
struct QMR_SQL_EXPORT LoadResult {
    /// The loaded rows; nullptr when the load failed.
    std::shared_ptr<const TColumnStore> store;
    /// Why the load failed; empty when it succeeded.
    std::optional<LoadError> error;
    /// The database server that gave the rows (SqlRows::server); no host for a file.
    SqlServer server;

    /// Whether the source gave rows (in `store`); when not, `error` says why.
    explicit operator bool() const noexcept { return store != nullptr; }
};

/// Loads the rows of the source `name` names (sourceKindOf): a CSV file, which takes no query; an
/// SQLite database or a server, which take `query` (UTF-8), the rows to load. Queries are held to
/// `limits`. A server's password comes from the environment (parseDatabaseUrl). Every failure,
/// the request's own included (a query for a CSV file, none for a database), comes back as the
/// result's error; nothing is half-loaded.
QMR_SQL_EXPORT LoadResult loadSource(std::string_view name, const std::string& query = {},
                                     const LoadLimits& limits = {});
/// The same, a server's password read first from the file `passwordFile` names (parseDatabaseUrl),
/// so that a host hands its password file to the loader rather than through its environment.
QMR_SQL_EXPORT LoadResult loadSource(std::string_view name, const std::string& query,
                                     const LoadLimits& limits, const std::string& passwordFile);

} // namespace qmr

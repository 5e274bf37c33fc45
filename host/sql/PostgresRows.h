#pragma once
// A PostgreSQL query's rows read with libpq from the statement the server has already parsed
// (PostgresHandle::oneStatementProblem prepares it), so the query is parsed once. The statement
// runs once, its rows arrive one at a time (single-row mode), so that what the client holds beyond
// the store is one row, and each value is built from the server's own text of it: a value Qt's
// driver would turn into another (a time's offset dropped, a date's era) is loaded as the server
// wrote it or refused by name. The wait for each row is kept within the load's time limit by the
// loader's own clock.

#include <qmr41726/data/load/LoadBudget.h>
#include <qmr41726/data/store/TColumnStore.h>

#include <memory>
#include <string>

namespace qmr {

class PostgresHandle;

/// Runs the connection's unnamed prepared statement and loads its rows; raises ELoadError naming
/// the row, the column and what was wrong. The connection is idle again when it returns or raises
/// (a statement given up is cancelled first).
std::shared_ptr<const TColumnStore> loadPostgresRows(const PostgresHandle& server, const std::string& source,
                                                     LoadBudget& budget);

} // namespace qmr

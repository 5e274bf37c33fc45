#pragma once
// The SQLite peer: the same rows in an in-memory database of this process, searched with the
// query a developer would write for the screen.

#include "RowGenerator.h"
#include "SearchSteps.h"

#include <string>
#include <vector>

struct sqlite3;

/// An in-memory table `t(CODIGO, NOME, CIDADE, Ativo)` without indexes: an index on NOME lets
/// SQLite skip the sort but makes it fetch every row through the index, which measured slower
/// here for every prefix, so the faster plan is the one compared against.
class SqlitePeer {
public:
    /// Loads the rows; raises std::runtime_error with SQLite's message on failure.
    explicit SqlitePeer(const std::vector<BenchRow>& rows);
    ~SqlitePeer();
    SqlitePeer(const SqlitePeer&) = delete;
    SqlitePeer& operator=(const SqlitePeer&) = delete;

    /// Runs `SELECT ... WHERE Ativo = 'S' [AND UPPER(NOME) LIKE 'TEXT%'] ORDER BY NOME` and steps
    /// through every row it returns.
    StepResult search(const std::string& text);

private:
    void execute(const char* sql);
    void insertRows(const std::vector<BenchRow>& rows);
    [[noreturn]] void fail(const std::string& what);

    sqlite3* m_db = nullptr;
};

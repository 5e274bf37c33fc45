#include "SqlitePeer.h"

#include <qmr41726/rtl/AnsiString.h>

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

using namespace qmr;

namespace {

struct StatementCloser {
    void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

} // namespace

SqlitePeer::SqlitePeer(const std::vector<BenchRow>& rows) {
    if (sqlite3_open(":memory:", &m_db) != SQLITE_OK)
        fail("open");
    execute("CREATE TABLE t(CODIGO INTEGER, NOME VARCHAR(30), CIDADE VARCHAR(20), Ativo VARCHAR(1))");
    insertRows(rows);
}

SqlitePeer::~SqlitePeer() {
    sqlite3_close(m_db);
}

void SqlitePeer::fail(const std::string& what) {
    throw std::runtime_error("SQLite peer, " + what + ": " + (m_db ? sqlite3_errmsg(m_db) : "out of memory"));
}

void SqlitePeer::execute(const char* sql) {
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(sql);
}

void SqlitePeer::insertRows(const std::vector<BenchRow>& rows) {
    execute("BEGIN");
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_db, "INSERT INTO t VALUES(?, ?, ?, ?)", -1, &raw, nullptr) != SQLITE_OK)
        fail("prepare insert");
    const Statement insert(raw);
    for (const BenchRow& row : rows) {
        sqlite3_bind_int64(raw, 1, row.codigo);
        sqlite3_bind_text(raw, 2, row.nome.data(), int(row.nome.size()), SQLITE_STATIC);
        sqlite3_bind_text(raw, 3, row.cidade.data(), int(row.cidade.size()), SQLITE_STATIC);
        sqlite3_bind_text(raw, 4, row.ativo.data(), int(row.ativo.size()), SQLITE_STATIC);
        if (sqlite3_step(raw) != SQLITE_DONE)
            fail("insert");
        sqlite3_reset(raw);
    }
    execute("COMMIT");
}

StepResult SqlitePeer::search(const std::string& text) {
    std::string sql = "SELECT CODIGO, NOME, CIDADE, Ativo FROM t WHERE Ativo = 'S'";
    if (!text.empty())
        sql += " AND UPPER(NOME) LIKE '" + UpperCase(text) + "%'";
    sql += " ORDER BY NOME";
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.c_str(), int(sql.size()), &raw, nullptr) != SQLITE_OK)
        fail("prepare " + sql);
    const Statement query(raw);
    StepResult result;
    int status;
    while ((status = sqlite3_step(raw)) == SQLITE_ROW) {
        if (result.count++ == 0)
            result.firstNome = reinterpret_cast<const char*>(sqlite3_column_text(raw, 1));
    }
    if (status != SQLITE_DONE)
        fail("step " + sql);
    return result;
}

#include <qmr41726/sql/PostgresRows.h>

#include <qmr41726/rtl/MessageText.h>

#include <qmr41726/sql/PostgresHandle.h>
#include <qmr41726/sql/PostgresText.h>
#include <qmr41726/sql/SqlLoad.h>

#include <QString>

#include <libpq-fe.h>
#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace qmr {

namespace {

/// PostgreSQL's SQLSTATE for a statement cancelled, here by its statement_timeout.
constexpr char kQueryCanceled[] = "57014";

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

/// One run of the unnamed prepared statement, from its start to its last result. Ending it early
/// cancels it on the server and reads what the server still sends, so the connection serves the
/// transaction's rollback next.
class StatementRun {
public:
    StatementRun(const PostgresHandle& server, SqlLoad& load, const LoadBudget& budget);
    ~StatementRun();
    StatementRun(const StatementRun&) = delete;
    StatementRun& operator=(const StatementRun&) = delete;

    /// The next result, waited for no longer than the time limit; none once the statement has
    /// ended.
    Result next();
    /// The server has given its last word on the statement (its end or an error): nothing is left to
    /// cancel.
    void answered(bool answered) { m_answered = answered; }

private:
    void waitForInput();

    const PostgresHandle& m_server;
    PGconn* m_connection;
    SqlLoad& m_load;
    const LoadBudget& m_budget;
    bool m_answered = false;
    bool m_ended = false;
};

StatementRun::StatementRun(const PostgresHandle& server, SqlLoad& load, const LoadBudget& budget)
    : m_server(server), m_connection(server.connection()), m_load(load), m_budget(budget) {
    // Text results: each value as the server writes it.
    if (!PQsendQueryPrepared(m_connection, "", 0, nullptr, nullptr, nullptr, 0)) {
        m_answered = m_ended = true;
        m_load.fail(
            "the query failed: " +
                nameExcerpt(QString::fromUtf8(PQerrorMessage(m_connection)).simplified().toStdString(),
                            kForeignTextExcerptBytes, TextEncoding::Utf8),
            LoadErrorKind::Refused);
    }
    // Without single-row mode the rows would still arrive, only all at once.
    PQsetSingleRowMode(m_connection);
}

StatementRun::~StatementRun() {
    if (m_ended)
        return;
    if (!m_answered)
        m_server.cancelQuery();
    // A server that no longer answers ends this wait at the time limit's fallback, which shuts the
    // connection (PostgresDeadline).
    while (PGresult* rest = PQgetResult(m_connection))
        PQclear(rest);
}

void StatementRun::waitForInput() {
    const int limit = m_budget.limits().timeoutSeconds;
    while (PQisBusy(m_connection)) {
        int waitMs = -1;
        if (limit > 0) {
            const auto left = m_budget.deadline() - std::chrono::steady_clock::now();
            if (left <= std::chrono::steady_clock::duration::zero())
                m_load.fail(
                    joined(
                        {m_load.rowsRead() > 0 ? "row " + std::to_string(m_load.rowsRead() + 1) + ": " : "",
                         m_budget.timeoutText()}),
                    LoadErrorKind::Timeout);
            waitMs = int(std::chrono::ceil<std::chrono::milliseconds>(left).count());
        }
        pollfd socket{PQsocket(m_connection), POLLIN, 0};
        if (const int ready = ::poll(&socket, 1, waitMs); ready < 0 && errno != EINTR)
            m_load.fail(std::string("cannot wait for the server: ") + std::strerror(errno),
                        LoadErrorKind::Refused);
        else if (ready > 0 && !PQconsumeInput(m_connection))
            return; // the connection failed: the next result says how
    }
}

Result StatementRun::next() {
    if (m_ended)
        return Result(nullptr, &PQclear);
    waitForInput();
    Result result(PQgetResult(m_connection), &PQclear);
    m_ended = result == nullptr;
    return result;
}

// The server's words for a failed statement, on one line, cut and escaped: a server function can
// raise an error of megabytes holding any bytes.
std::string errorWords(const PGresult* result) {
    const QString words = QString::fromUtf8(PQresultErrorMessage(result)).simplified();
    return words.isEmpty() ? "the server gave no reason"
                           : nameExcerpt(words.toStdString(), kForeignTextExcerptBytes, TextEncoding::Utf8);
}

// Whether the server stopped the statement at its statement_timeout, the time limit of the load.
bool stoppedAtTimeLimit(const PGresult* result) {
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    return state && std::strcmp(state, kQueryCanceled) == 0 &&
           std::strstr(PQresultErrorMessage(result), "statement timeout") != nullptr;
}

void describeColumns(const PGresult* result, SqlLoad& load) {
    for (int i = 0; i < PQnfields(result); ++i)
        load.addColumn(QString::fromUtf8(PQfname(result, i)),
                       planPostgresColumn(PQftype(result, i), PQfmod(result, i)));
    load.startRows();
}

void appendRows(const PGresult* result, SqlLoad& load) {
    for (int row = 0; row < PQntuples(result); ++row) {
        load.beginRow();
        for (int column = 0; column < load.columnCount(); ++column) {
            if (PQgetisnull(result, row, column)) {
                load.appendNull(column);
                continue;
            }
            const int bytes = PQgetlength(result, row, column);
            load.checkValueBytes(column, std::uint64_t(bytes));
            appendPostgresValue(load, column,
                                std::string_view(PQgetvalue(result, row, column), std::size_t(bytes)));
        }
        load.endRow();
    }
}

} // namespace

std::shared_ptr<const TColumnStore> loadPostgresRows(const PostgresHandle& server, const std::string& source,
                                                     LoadBudget& budget) {
    SqlLoad load(source, budget);
    StatementRun run(server, load, budget);
    bool described = false;
    while (Result result = run.next()) {
        const ExecStatusType status = PQresultStatus(result.get());
        if (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK) {
            run.answered(status == PGRES_TUPLES_OK);
            if (!described)
                describeColumns(result.get(), load);
            described = true;
            appendRows(result.get(), load);
            continue;
        }
        run.answered(true);
        // A server may fail after the first rows (a division by zero in row 1000): the rows read so
        // far must not pass for the whole result.
        const long long rows = load.rowsRead();
        const std::string failed =
            rows == 0
                ? "the query failed: "
                : joined({"the query failed after ", std::to_string(rows), rows == 1 ? " row: " : " rows: "});
        if (stoppedAtTimeLimit(result.get()))
            load.fail(failed + budget.timeoutText(), LoadErrorKind::Timeout);
        load.fail(failed + errorWords(result.get()), LoadErrorKind::Refused);
    }
    if (!described)
        load.fail("the query returns no columns");
    return load.finish();
}

} // namespace qmr

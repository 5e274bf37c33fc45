#include <qmr41726/sql/PostgresHandle.h>

#include <qmr41726/rtl/MessageText.h>

#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QStringList>
#include <QVariant>

#include <libpq-fe.h>

#include <memory>
#include <utility>
#include <vector>

namespace qmr {

namespace {

// libpq's port list: one entry a server, empty for the default port.
QString portList(const SqlConnection& connection) {
    QStringList ports;
    bool any = false;
    for (const SqlServer& server : connection.servers) {
        ports.append(server.port >= 0 ? QString::number(server.port) : QString());
        any = any || server.port >= 0;
    }
    return any ? ports.join(',') : QString();
}

// libpq's TLS keywords and the connection's values for them, the ones set alone.
std::vector<std::pair<const char*, std::string>> tlsOptions(const SqlConnection& connection) {
    std::vector<std::pair<const char*, std::string>> options;
    const std::pair<const char*, const std::string*> all[] = {
        {"sslmode", &connection.tls.mode},
        {"sslrootcert", &connection.tls.rootCertificate},
        {"sslcert", &connection.tls.certificate},
        {"sslkey", &connection.tls.key}};
    for (const auto& [keyword, value] : all) {
        if (!value->empty())
            options.emplace_back(keyword, *value);
    }
    return options;
}

/// The SQLSTATE of a statement the server cannot parse; with the words below, several statements
/// handed to the extended protocol.
constexpr char kSyntaxError[] = "42601";
constexpr char kSeveralStatements[] = "multiple commands";

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

// Off unless asked for (QT_LOGGING_RULES="qmr.sql.notice.info=true"): a query's notices are the
// server's business, and a function raising them in a loop must not flood the terminal.
Q_LOGGING_CATEGORY(lcNotice, "qmr.sql.notice", QtWarningMsg)

void logNotice(void*, const char* message) {
    const std::string text = QString::fromUtf8(message).simplified().toStdString();
    qCInfo(lcNotice).noquote() << QString::fromStdString(
        nameExcerpt(text, kForeignTextExcerptBytes, TextEncoding::Utf8));
}

} // namespace

PostgresHandle::PostgresHandle(const QSqlDatabase& database) {
    if (!database.isOpen() || database.driverName() != QLatin1String("QPSQL"))
        return;
    // Qt 6 names the type after the struct PGconn stands for; older Qt after the typedef.
    const QVariant handle = database.driver()->handle();
    const char* type = handle.typeName();
    if (type && (qstrcmp(type, "pg_conn*") == 0 || qstrcmp(type, "PGconn*") == 0))
        m_connection = *static_cast<PGconn* const*>(handle.constData());
}

SqlServer PostgresHandle::server() const {
    if (!m_connection)
        return {};
    const char* host = PQhost(m_connection);
    const QString port = QString::fromUtf8(PQport(m_connection));
    bool ok = false;
    const int number = port.toInt(&ok);
    return {host ? host : "", ok ? number : -1};
}

void PostgresHandle::logNotices() const {
    if (m_connection)
        PQsetNoticeProcessor(m_connection, &logNotice, nullptr);
}

void PostgresHandle::cancelQuery() const {
    if (!m_connection)
        return;
    PGcancel* cancel = PQgetCancel(m_connection);
    if (!cancel)
        return;
    char error[256];
    PQcancel(cancel, error, int(sizeof error));
    PQfreeCancel(cancel);
}

std::string PostgresHandle::oneStatementProblem(const std::string& query) const {
    if (!m_connection)
        return {};
    // The unnamed statement: the next query the connection runs replaces it.
    const Result prepared(PQprepare(m_connection, "", query.c_str(), 0, nullptr), &PQclear);
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) {
        const char* state = PQresultErrorField(prepared.get(), PG_DIAG_SQLSTATE);
        const QString words = QString::fromUtf8(PQresultErrorMessage(prepared.get())).simplified();
        if (state && qstrcmp(state, kSyntaxError) == 0 && words.contains(kSeveralStatements))
            return "the query holds several statements; a load runs exactly one, which returns rows";
        return "the query failed: " +
               (words.isEmpty()
                    ? std::string("the server gave no reason")
                    : nameExcerpt(words.toStdString(), kForeignTextExcerptBytes, TextEncoding::Utf8));
    }
    const Result described(PQdescribePrepared(m_connection, ""), &PQclear);
    if (PQresultStatus(described.get()) != PGRES_COMMAND_OK)
        return "the query failed: " +
               nameExcerpt(
                   QString::fromUtf8(PQresultErrorMessage(described.get())).simplified().toStdString(),
                   kForeignTextExcerptBytes, TextEncoding::Utf8);
    if (PQnfields(described.get()) == 0)
        return "the query returns no columns (a load runs exactly one statement, which returns rows)";
    // The server takes a parameter's type from where it stands; run, it would be NULL, and
    // `code = $1` would match nothing.
    if (const int parameters = PQnparams(described.get()); parameters > 0)
        return "the query holds the parameter $" + std::to_string(parameters) +
               ", which nothing binds; write its value into the query";
    return {};
}

QString postgresHostList(const SqlConnection& connection) {
    QStringList hosts;
    for (const SqlServer& server : connection.servers)
        hosts.append(QString::fromStdString(server.host));
    return hosts.join(',');
}

QString postgresConnectOptions(const SqlConnection& connection) {
    QStringList options{"connect_timeout=" + QString::number(connection.connectTimeoutSeconds)};
    if (const QString ports = portList(connection); !ports.isEmpty())
        options.append("port=" + ports);
    if (!connection.targetSessionAttrs.empty())
        options.append("target_session_attrs=" + QString::fromStdString(connection.targetSessionAttrs));
    for (const auto& [keyword, value] : tlsOptions(connection))
        options.append(QString(keyword) + "=" + QString::fromStdString(value));
    return options.join(';');
}

bool postgresAnswers(const SqlConnection& connection) {
    const std::string hosts = postgresHostList(connection).toStdString();
    const std::string ports = portList(connection).toStdString();
    const std::string timeout = std::to_string(connection.connectTimeoutSeconds);
    std::vector<const char*> keywords = {"host", "port", "dbname", "user", "connect_timeout"};
    std::vector<const char*> values = {hosts.c_str(), ports.c_str(), connection.databaseName.c_str(),
                                       connection.user.c_str(), timeout.c_str()};
    // A server that takes TLS connections alone answers only a ping made the same way.
    const auto tls = tlsOptions(connection);
    for (const auto& [keyword, value] : tls) {
        keywords.push_back(keyword);
        values.push_back(value.c_str());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    const PGPing ping = PQpingParams(keywords.data(), values.data(), 0);
    return ping == PQPING_OK || ping == PQPING_REJECT;
}

} // namespace qmr

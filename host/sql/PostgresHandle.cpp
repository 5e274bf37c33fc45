#include <qmr41726/sql/PostgresHandle.h>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QStringList>
#include <QVariant>

#include <libpq-fe.h>

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
    return options.join(';');
}

bool postgresAnswers(const SqlConnection& connection) {
    const std::string hosts = postgresHostList(connection).toStdString();
    const std::string ports = portList(connection).toStdString();
    const std::string timeout = std::to_string(connection.connectTimeoutSeconds);
    const char* const keywords[] = {"host", "port", "dbname", "user", "connect_timeout", nullptr};
    const char* const values[] = {hosts.c_str(),           ports.c_str(),   connection.databaseName.c_str(),
                                  connection.user.c_str(), timeout.c_str(), nullptr};
    const PGPing ping = PQpingParams(keywords, values, 0);
    return ping == PQPING_OK || ping == PQPING_REJECT;
}

} // namespace qmr

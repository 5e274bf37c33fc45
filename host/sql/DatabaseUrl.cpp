// Reading a database URL into a connection. A PostgreSQL URL is read by libpq itself
// (PQconninfoParse), since its multi-host form (`host1:port1,host2:port2`) is no URL QUrl accepts
// and libpq's own reading is the one its users know; a MySQL URL is split by QUrl. What is checked
// here is what each kind of source needs and the parameters it understands.

#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>
#include <qmr41726/sql/DatabasePassword.h>
#include <qmr41726/sql/SqlLoader.h>
#include <qmr41726/sql/UrlRedaction.h>

#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

#include <libpq-fe.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <memory>

namespace qmr {

namespace {

// `what` may quote a part of the URL (libpq's words on a value it cannot read), so a password the
// URL holds is hidden there too.
[[noreturn]] void refuse(std::string_view url, const std::string& what) {
    throw ELoadError(LoadErrorKind::Malformed, "database URL \"" + urlWithoutPassword(url) +
                                                   "\": " + withSecretsHidden(what, passwordsIn(url)));
}

// Built by appending: GCC 12 at -O3 (the bench's build) warns falsely (-Wrestrict) on "\"" + std::string.
std::string quotedName(const std::string& name) {
    std::string quoted = "\"";
    quoted += nameExcerpt(name, kNameExcerptBytes, TextEncoding::Utf8);
    quoted += '"';
    return quoted;
}

[[noreturn]] void refusePassword(std::string_view url) {
    refuse(url, "holds a password; give it in a file only its reader can read (--db-password-file, "
                "QMR_DB_PASSWORD_FILE) or a systemd credential (db-password)");
}

// The connect timeout in whole seconds, 1 or more.
int timeoutSeconds(std::string_view url, const QString& text) {
    bool ok = false;
    const int seconds = text.toInt(&ok);
    if (!ok || seconds < 1)
        refuse(url, "connect_timeout must be a whole number of seconds, not " +
                        quotedExcerpt(text.toStdString(), TextEncoding::Utf8));
    return seconds;
}

// A port from 1 to 65535, or -1 for an empty one (the driver's default).
int portNumber(std::string_view url, const QString& text) {
    if (text.isEmpty())
        return -1;
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535)
        refuse(url, "the port " + quotedExcerpt(text.toStdString(), TextEncoding::Utf8) +
                        " is no port number (1 to 65535)");
    return port;
}

// libpq's host and port lists as servers: one port for every host, or one port a host.
std::vector<SqlServer> postgresServers(std::string_view url, const QString& hosts, const QString& ports) {
    const QStringList hostList = hosts.split(',');
    const QStringList portList = ports.split(',');
    if (portList.size() != 1 && portList.size() != hostList.size())
        refuse(url, "names " + std::to_string(hostList.size()) + " hosts and " +
                        std::to_string(portList.size()) + " ports (give one port, or one a host)");
    std::vector<SqlServer> servers;
    for (qsizetype i = 0; i < hostList.size(); ++i) {
        const QString& port = portList.size() == 1 ? portList.front() : portList[i];
        servers.push_back({hostList[i].toStdString(), portNumber(url, port)});
    }
    return servers;
}

// Whether `value` is one of the words a libpq parameter takes.
bool isOneOf(const std::string& value, std::initializer_list<const char*> known) {
    return std::any_of(known.begin(), known.end(), [&](const char* word) { return value == word; });
}

// A TLS file's path. Qt's driver passes its options to libpq as key=value words it does not
// quote, so a path with a blank, a quote, a backslash or a semicolon would be read as something
// else.
std::string tlsFile(std::string_view url, const std::string& keyword, const std::string& path) {
    if (path.empty() || path.find_first_of(" \t\r\n'\\;") != std::string::npos)
        refuse(url,
               keyword + " must name a file, without blanks, quotes, backslashes or semicolons in its path");
    return path;
}

// The TLS parameters libpq reads: false for any other keyword.
bool readTlsParameter(std::string_view url, const std::string& keyword, const std::string& value,
                      SqlTls& tls) {
    if (keyword == "sslmode") {
        if (!isOneOf(value, {"disable", "allow", "prefer", "require", "verify-ca", "verify-full"}))
            refuse(url, "sslmode " + quotedName(value) +
                            " is none of disable, allow, prefer, require, verify-ca, verify-full");
        tls.mode = value;
    } else if (keyword == "sslrootcert") {
        tls.rootCertificate = tlsFile(url, keyword, value);
    } else if (keyword == "sslcert") {
        tls.certificate = tlsFile(url, keyword, value);
    } else if (keyword == "sslkey") {
        tls.key = tlsFile(url, keyword, value);
    } else {
        return false;
    }
    return true;
}

// The keywords libpq read from the URL, with their values: the parts before '?' and every
// parameter after it.
std::map<std::string, std::string> conninfoOptions(std::string_view url) {
    char* error = nullptr;
    const std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
        PQconninfoParse(std::string(url).c_str(), &error), &PQconninfoFree);
    if (!options) {
        const std::string why = error ? nameExcerpt(QString::fromUtf8(error).simplified().toStdString(),
                                                    kForeignTextExcerptBytes, TextEncoding::Utf8)
                                      : "out of memory";
        PQfreemem(error);
        refuse(url, why);
    }
    std::map<std::string, std::string> read;
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
        if (option->val)
            read[option->keyword] = option->val;
    }
    return read;
}

SqlConnection readPostgresUrl(std::string_view url) {
    std::map<std::string, std::string> options = conninfoOptions(url);
    if (options.contains("password"))
        refusePassword(url);
    SqlConnection connection;
    connection.driver = "QPSQL";
    for (const auto& [keyword, value] : options) {
        if (keyword == "user")
            connection.user = value;
        else if (keyword == "dbname")
            connection.databaseName = value;
        else if (keyword == "connect_timeout")
            connection.connectTimeoutSeconds = timeoutSeconds(url, QString::fromStdString(value));
        else if (keyword == "target_session_attrs" &&
                 isOneOf(value, {"any", "read-write", "read-only", "primary", "standby", "prefer-standby"}))
            connection.targetSessionAttrs = value;
        else if (keyword == "target_session_attrs")
            refuse(url, "target_session_attrs " + quotedName(value) +
                            " is none of any, read-write, read-only, primary, standby, prefer-standby");
        else if (keyword != "host" && keyword != "port" &&
                 !readTlsParameter(url, keyword, value, connection.tls))
            refuse(url, "unknown parameter " + quotedName(keyword) +
                            " (host, port, connect_timeout, target_session_attrs, sslmode, sslrootcert, "
                            "sslcert and sslkey are read)");
    }
    if (connection.databaseName.empty() || connection.databaseName.find('/') != std::string::npos)
        refuse(url, "names no database (.../dbname)");
    if (options.contains("host") || options.contains("port"))
        connection.servers = postgresServers(url, QString::fromStdString(options["host"]),
                                             QString::fromStdString(options["port"]));
    return connection;
}

// The parameter after '?': `socket`, the server's Unix socket; anything else is refused rather
// than silently ignored.
void readMysqlParameters(std::string_view url, const QUrl& parsed, SqlConnection& connection) {
    const QUrlQuery query(parsed);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key != "socket")
            refuse(url, "unknown parameter " + quotedName(key.toStdString()) + " (socket is read)");
        // Qt's driver reads its connect options up to a semicolon.
        if (value.isEmpty() || value.contains(';'))
            refuse(url, "socket must name the server's socket file, without a semicolon");
        connection.socket = value.toStdString();
    }
}

SqlConnection readMysqlUrl(std::string_view url, const QString& text) {
    const QUrl parsed(text, QUrl::StrictMode);
    if (!parsed.isValid())
        refuse(url, parsed.errorString().toStdString());
    if (!parsed.password().isEmpty())
        refusePassword(url);
    SqlConnection connection;
    connection.driver = "QMYSQL";
    connection.user = parsed.userName(QUrl::FullyDecoded).toStdString();
    const std::string host = parsed.host(QUrl::FullyDecoded).toStdString();
    if (!host.empty() || parsed.port(-1) >= 0)
        connection.servers.push_back({host, parsed.port(-1)});
    QString path = parsed.path(QUrl::FullyDecoded);
    if (path.startsWith('/'))
        path.remove(0, 1);
    if (path.isEmpty() || path.contains('/'))
        refuse(url, "names no database (.../dbname)");
    connection.databaseName = path.toStdString();
    readMysqlParameters(url, parsed, connection);
    // The client library takes the socket only for the local server.
    if (connection.socket.empty() && host.empty())
        refuse(url, "names no host (mysql://[user@]host[:port]/dbname, or ?socket=PATH)");
    if (!connection.socket.empty() && !host.empty() && host != "localhost")
        refuse(url, "names the host " + quotedName(host) + " and a socket, which only the local server has");
    return connection;
}

} // namespace

std::string SqlServer::text() const {
    if (host.empty() && port < 0)
        return "the default server";
    const std::string shown = host.empty() ? std::string("the default host") : host;
    return port < 0 ? shown : shown + ":" + std::to_string(port);
}

SqlConnection parseDatabaseUrl(std::string_view url) {
    return parseDatabaseUrl(url, {});
}

SqlConnection parseDatabaseUrl(std::string_view url, const std::string& passwordFile) {
    const QString text = QString::fromUtf8(url.data(), qsizetype(url.size()));
    SqlConnection connection;
    if (text.startsWith("odbc:")) {
        connection.driver = "QODBC";
        connection.databaseName = text.mid(5).toStdString();
        if (connection.databaseName.empty())
            refuse(url, "names no ODBC data source (odbc:DSN)");
        // A connection string may carry a password (PWD=) the way a URL does.
        if (!passwordsIn(url).empty())
            refusePassword(url);
    } else if (text.startsWith("postgresql://") || text.startsWith("postgres://")) {
        connection = readPostgresUrl(url);
    } else if (text.startsWith("mysql://")) {
        connection = readMysqlUrl(url, text);
    } else {
        refuse(url, "is none of postgresql://..., mysql://..., odbc:DSN");
    }
    connection.password = databasePassword(passwordFile);
    connection.source = urlWithoutPassword(url);
    return connection;
}

} // namespace qmr

// Reading a database URL into a connection. QUrl does the splitting and percent-decoding; what is
// checked here is what each kind of source needs and the parameters it understands.

#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>
#include <qmr41726/sql/SqlLoader.h>

#include <QUrl>
#include <QUrlQuery>

#include <cstdlib>

namespace qmr {

namespace {

const char* const kPasswordVariable = "QMR_DB_PASSWORD";

[[noreturn]] void refuse(std::string_view url, const std::string& what) {
    throw ELoadError(LoadErrorKind::Malformed, "database URL \"" +
                                                   nameExcerpt(url, kPathExcerptBytes, TextEncoding::Utf8) +
                                                   "\": " + what);
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

// The parameters after '?': `host` (a socket folder) and `connect_timeout`; anything else is
// refused rather than silently ignored.
void readPostgresParameters(std::string_view url, const QUrl& parsed, SqlConnection& connection) {
    const QUrlQuery query(parsed);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == "host")
            connection.host = value.toStdString();
        else if (key == "connect_timeout")
            connection.connectTimeoutSeconds = timeoutSeconds(url, value);
        else
            refuse(url, "unknown parameter \"" +
                            nameExcerpt(key.toStdString(), kNameExcerptBytes, TextEncoding::Utf8) +
                            "\" (host and connect_timeout are read)");
    }
}

// The parts common to postgresql:// and mysql://: user, host, port and the database in the path.
SqlConnection readServerUrl(std::string_view url, const QUrl& parsed, const char* driver) {
    if (!parsed.password().isEmpty())
        refuse(url,
               std::string("holds a password; give it in the environment variable ") + kPasswordVariable);
    SqlConnection connection;
    connection.driver = driver;
    connection.user = parsed.userName(QUrl::FullyDecoded).toStdString();
    connection.host = parsed.host(QUrl::FullyDecoded).toStdString();
    connection.port = parsed.port(-1);
    QString path = parsed.path(QUrl::FullyDecoded);
    if (path.startsWith('/'))
        path.remove(0, 1);
    if (path.isEmpty() || path.contains('/'))
        refuse(url, "names no database (.../dbname)");
    connection.databaseName = path.toStdString();
    return connection;
}

} // namespace

SqlConnection parseDatabaseUrl(std::string_view url) {
    const QString text = QString::fromUtf8(url.data(), qsizetype(url.size()));
    SqlConnection connection;
    if (text.startsWith("odbc:")) {
        connection.driver = "QODBC";
        connection.databaseName = text.mid(5).toStdString();
        if (connection.databaseName.empty())
            refuse(url, "names no ODBC data source (odbc:DSN)");
    } else {
        const QUrl parsed(text, QUrl::StrictMode);
        if (!parsed.isValid())
            refuse(url, parsed.errorString().toStdString());
        const QString scheme = parsed.scheme();
        if (scheme == "postgresql" || scheme == "postgres") {
            connection = readServerUrl(url, parsed, "QPSQL");
            readPostgresParameters(url, parsed, connection);
        } else if (scheme == "mysql") {
            connection = readServerUrl(url, parsed, "QMYSQL");
            if (connection.host.empty())
                refuse(url, "names no host (mysql://[user@]host[:port]/dbname)");
            if (parsed.hasQuery())
                refuse(url, "takes no parameters");
        } else {
            refuse(url, "is none of postgresql://..., mysql://..., odbc:DSN");
        }
    }
    if (const char* password = std::getenv(kPasswordVariable))
        connection.password = password;
    connection.source = nameExcerpt(url, kPathExcerptBytes, TextEncoding::Utf8);
    return connection;
}

} // namespace qmr

#include "SourceStamp.h"

#include <qmr41726/rtl/Exception.h>
#include <qmr41726/sql/SourceLoader.h>
#include <qmr41726/sql/SqlLoader.h>

using namespace qmr;

namespace {

/// A server's kind from the Qt SQL driver its URL names.
QString serverKind(std::string_view url) {
    try {
        const std::string driver = parseDatabaseUrl(url).driver;
        if (driver == "QPSQL")
            return "postgresql";
        if (driver == "QMYSQL")
            return "mysql";
        if (driver == "QODBC")
            return "odbc";
        return QString::fromStdString(driver).toLower();
    } catch (const Exception&) {
        return "server"; // no URL the loader read: not reached for a catalogue it loaded
    }
}

} // namespace

SourceStamp SourceStamp::loadedNow(std::string_view source, QString server) {
    SourceStamp stamp;
    stamp.m_server = std::move(server);
    stamp.m_kind = kindOf(source);
    stamp.m_loaded = QDateTime::currentDateTimeUtc();
    return stamp;
}

SourceStamp SourceStamp::fromCopy(QDateTime written, QString reason) {
    SourceStamp stamp;
    stamp.m_kind = "cache";
    stamp.m_loaded = QDateTime::currentDateTimeUtc();
    stamp.m_written = std::move(written);
    stamp.m_reason = std::move(reason);
    return stamp;
}

QJsonObject SourceStamp::json() const {
    if (m_written.isValid())
        return QJsonObject{
            {"kind", m_kind},
            {"written", m_written.toString(Qt::ISODateWithMs)},
            {"reason", m_reason},
        };
    QJsonObject source{
        {"kind", m_kind},
        {"loaded", m_loaded.toString(Qt::ISODateWithMs)},
    };
    if (!m_server.isEmpty())
        source.insert("server", m_server);
    return source;
}

QString SourceStamp::kindOf(std::string_view source) {
    switch (sourceKindOf(source)) {
    case SourceKind::CsvFile:
        return "csv";
    case SourceKind::SqliteFile:
        return "sqlite";
    case SourceKind::Server:
        return serverKind(source);
    }
    return "csv";
}

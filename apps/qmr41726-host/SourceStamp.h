#pragma once
// Where the catalogue of a call came from and when: the "source" object of a repeated run's
// reports. Every member of that object is written here and nowhere else, so that a new kind of
// source (a local cache, with the time it was written and why it was used) is added in one place.

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <string_view>

/// The kind of a catalogue's source and the time it was loaded.
class SourceStamp {
public:
    SourceStamp() = default;
    /// A catalogue loaded just now from `source`, the name --data or --db gives.
    /// `server` is the server that gave the rows ("host:port"), empty for a file.
    static SourceStamp loadedNow(std::string_view source, QString server = {});
    /// A catalogue opened just now from the local copy written at `written`, because the load
    /// failed with `reason`.
    static SourceStamp fromCopy(QDateTime written, QString reason);

    /// "csv", "sqlite", "postgresql", "mysql" or "odbc" (see kindOf), or "cache".
    const QString& kind() const noexcept { return m_kind; }
    /// When the load ended, or the copy was opened (UTC).
    const QDateTime& loaded() const noexcept { return m_loaded; }

    /// The server that gave the rows, of several that a URL may name; empty for a file.
    const QString& server() const noexcept { return m_server; }

    /// {"kind": ..., "loaded": ISO-8601 UTC time with milliseconds, "server": "host:port" when a
    /// server gave the rows}; for the local copy {"kind": "cache", "written": ..., "reason": ...}.
    QJsonObject json() const;

    /// The kind of source `source` names, from the data layer's sourceKindOf: "csv", "sqlite", or
    /// for a server the scheme of its URL ("postgresql", "mysql", "odbc").
    static QString kindOf(std::string_view source);

private:
    QString m_kind;
    QDateTime m_loaded;
    QString m_server;
    QDateTime m_written;
    QString m_reason;
};

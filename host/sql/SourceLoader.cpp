#include <qmr41726/sql/SourceLoader.h>

#include <qmr41726/rtl/MessageText.h>
#include <qmr41726/sql/SqlLoader.h>

#include <cctype>
#include <new>
#include <utility>

namespace qmr {

namespace {

bool endsWithFolded(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && LowerCase(text.substr(text.size() - tail.size())) == tail;
}

// A URL's scheme: letters first, then letters, digits, '+', '-' or '.', then "://".
bool hasUrlScheme(std::string_view name) {
    const std::size_t end = name.find("://");
    if (end == std::string_view::npos || end == 0 || !std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    for (const char c : name.substr(0, end)) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// The source's name as messages quote it: without a password, even where a connection string
// given in the wrong place is taken for a file's name.
std::string shownName(std::string_view name) {
    return urlWithoutPassword(name);
}

// The rows of the source (and the server that gave them), or the loader's exception.
LoadResult load(std::string_view name, const std::string& query, const LoadLimits& limits,
                const std::string& passwordFile) {
    const std::string shown = shownName(name);
    switch (sourceKindOf(name)) {
    case SourceKind::Server: {
        if (query.empty())
            throw ELoadError(LoadErrorKind::Malformed,
                             shown + ": a database server needs a query naming the rows to load");
        SqlRows rows = loadSqlRows(parseDatabaseUrl(name, passwordFile), query, limits);
        return {std::move(rows.store), std::nullopt, std::move(rows.server)};
    }
    case SourceKind::SqliteFile:
        if (query.empty())
            throw ELoadError(LoadErrorKind::Malformed,
                             shown + " is an SQLite database: it needs a query naming the rows to load");
        return {loadSqlite(std::string(name), query, limits), std::nullopt, {}};
    case SourceKind::CsvFile:
        if (!query.empty())
            throw ELoadError(LoadErrorKind::Malformed, shown + " is a CSV file, which takes no query");
        return {loadCsvFile(std::string(name), limits), std::nullopt, {}};
    }
    return {};
}

LoadResult failed(LoadErrorKind kind, AnsiString message) {
    return {nullptr, LoadError{kind, std::move(message)}, {}};
}

} // namespace

SourceKind sourceKindOf(std::string_view name) {
    if (name.starts_with("odbc:") || hasUrlScheme(name))
        return SourceKind::Server;
    for (const std::string_view extension : {".db", ".sqlite", ".sqlite3"}) {
        if (endsWithFolded(name, extension))
            return SourceKind::SqliteFile;
    }
    return SourceKind::CsvFile;
}

LoadResult loadSource(std::string_view name, const std::string& query, const LoadLimits& limits) {
    return loadSource(name, query, limits, {});
}

LoadResult loadSource(std::string_view name, const std::string& query, const LoadLimits& limits,
                      const std::string& passwordFile) {
    try {
        return load(name, query, limits, passwordFile);
    } catch (const ELoadError& error) {
        return failed(error.kind(), error.Message());
    } catch (const Exception& error) {
        // Only the loaders' own faults raise anything else; they concern what was read.
        return failed(LoadErrorKind::Malformed, error.Message());
    } catch (const std::bad_alloc&) {
        return failed(LoadErrorKind::Refused,
                      shownName(name) + ": not enough memory to load the rows; nothing was loaded");
    }
}

} // namespace qmr

#include "DataSetFactory.h"

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>
#include <qmr41726/sql/SourceLoader.h>

using namespace qmr;

namespace {

// What a load may take: the loaders' bounds, with the time limit the command line gives.
LoadLimits limitsOf(const HostOptions& options) {
    LoadLimits limits;
    limits.timeoutSeconds = options.queryTimeoutSeconds;
    return limits;
}

// A data file that is missing or no regular file is named as the data file; every other failure's
// message already names the file or server and where in it the load failed.
bool isAboutTheDataFile(LoadErrorKind kind) {
    return kind == LoadErrorKind::NotFound || kind == LoadErrorKind::NotRegularFile;
}

// Loaded rows and the server that gave them ("host:port"; empty for a file or an ODBC source).
struct LoadedRows {
    std::shared_ptr<const TColumnStore> store;
    std::string server;
};

LoadedRows loadRows(const HostOptions& options) {
    const bool fromServer = !options.databaseUrl.empty();
    LoadResult rows = loadSource(DataSetFactory::sourceName(options), options.query, limitsOf(options));
    if (rows) {
        const bool named = !rows.server.host.empty() || rows.server.port >= 0;
        return {std::move(rows.store), named ? rows.server.text() : std::string()};
    }
    const std::string message = ansiToUtf8(rows.error->message);
    throw DataError(!fromServer && isAboutTheDataFile(rows.error->kind) ? "data file " + message : message);
}

void applyFilter(TDataSet& dataSet, const HostOptions& options) {
    try {
        if (options.filter)
            dataSet.setFilter(optionTextToAnsi(*options.filter, "--filter"));
        if (options.filtered)
            dataSet.setFiltered(true);
    } catch (const Exception& e) {
        throw DataError("--filter " + quotedExcerpt(options.filter.value_or(""), TextEncoding::Utf8) +
                        " rejected by the data set: " + ansiToUtf8(e.Message()));
    }
}

std::unique_ptr<TDataSet> dataSetOver(std::shared_ptr<const TColumnStore> rows, const HostOptions& options) {
    std::unique_ptr<TDataSet> dataSet;
    if (options.plain)
        dataSet = std::make_unique<TDataSet>(rows);
    else
        dataSet = std::make_unique<TClientDataSet>(rows);
    applyFilter(*dataSet, options);
    return dataSet;
}

} // namespace

std::unique_ptr<TDataSet> DataSetFactory::create(const HostOptions& options) {
    return dataSetOver(loadRows(options).store, options);
}

Catalogue DataSetFactory::load(const HostOptions& options) {
    LoadedRows rows = loadRows(options);
    Catalogue catalogue;
    catalogue.dataSet = dataSetOver(std::move(rows.store), options);
    catalogue.source = SourceStamp::loadedNow(sourceName(options), QString::fromStdString(rows.server));
    catalogue.state = LoadedState::of(*catalogue.dataSet);
    return catalogue;
}

const std::string& DataSetFactory::sourceName(const HostOptions& options) {
    return options.databaseUrl.empty() ? options.dataPath : options.databaseUrl;
}

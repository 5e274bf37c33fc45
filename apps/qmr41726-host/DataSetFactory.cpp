#include "DataSetFactory.h"

#include "LocalCopy.h"

#include <chrono>
#include <optional>

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>
#include <qmr41726/sql/SourceLoader.h>

using namespace qmr;

namespace {

// What a load may take: the loaders' bounds, with the time limit and memory the command line gives.
LoadLimits limitsOf(const HostOptions& options) {
    LoadLimits limits{.timeoutSeconds = options.queryTimeoutSeconds};
    if (options.loadMemoryBytes)
        limits.maxBytes = *options.loadMemoryBytes;
    return limits;
}

// A data file that is missing or no regular file is named as the data file; every other failure's
// message already names the file or server and where in it the load failed.
bool isAboutTheDataFile(LoadErrorKind kind) {
    return kind == LoadErrorKind::NotFound || kind == LoadErrorKind::NotRegularFile;
}

// Loaded rows and where they came from.
struct LoadedRows {
    std::shared_ptr<const TColumnStore> store;
    SourceStamp source;
};

std::optional<LocalCopy> localCopyOf(const HostOptions& options, const LoadLimits& limits) {
    if (!options.cachePath)
        return std::nullopt;
    return LocalCopy(*options.cachePath, std::chrono::hours(options.cacheMaxAgeHours), limits.maxBytes);
}

LoadedRows loadRows(const HostOptions& options, DataSetFactory::OnFailure onFailure) {
    const std::string& name = DataSetFactory::sourceName(options);
    const bool fromServer = !options.databaseUrl.empty();
    const LoadLimits limits = limitsOf(options);
    const std::optional<LocalCopy> copy = localCopyOf(options, limits);
    LoadResult rows = loadSource(name, options.query, limits, options.passwordFile.value_or(""));
    if (rows) {
        if (copy)
            copy->keep(*rows.store);
        const bool named = !rows.server.host.empty() || rows.server.port >= 0;
        return {std::move(rows.store),
                SourceStamp::loadedNow(name, named ? QString::fromStdString(rows.server.text()) : QString())};
    }
    const std::string message = ansiToUtf8(rows.error->message);
    const std::string error =
        !fromServer && isAboutTheDataFile(rows.error->kind) ? "data file " + message : message;
    if (!copy || onFailure == DataSetFactory::OnFailure::Raise)
        throw DataError(error);
    LocalCopy::Rows kept = copy->serveInstead(error);
    return {std::move(kept.store), SourceStamp::fromCopy(kept.written, QString::fromStdString(error))};
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

Catalogue DataSetFactory::load(const HostOptions& options, OnFailure onFailure) {
    LoadedRows rows = loadRows(options, onFailure);
    Catalogue catalogue;
    catalogue.dataSet = dataSetOver(std::move(rows.store), options);
    catalogue.source = std::move(rows.source);
    catalogue.state = LoadedState::of(*catalogue.dataSet);
    return catalogue;
}

const std::string& DataSetFactory::sourceName(const HostOptions& options) {
    return options.databaseUrl.empty() ? options.dataPath : options.databaseUrl;
}

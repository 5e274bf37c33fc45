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

std::shared_ptr<const TColumnStore> loadRows(const HostOptions& options) {
    const bool fromServer = !options.databaseUrl.empty();
    LoadResult rows = loadSource(DataSetFactory::sourceName(options), options.query, limitsOf(options));
    if (rows)
        return std::move(rows.store);
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

} // namespace

std::unique_ptr<TDataSet> DataSetFactory::create(const HostOptions& options) {
    auto rows = loadRows(options);
    std::unique_ptr<TDataSet> dataSet;
    if (options.plain)
        dataSet = std::make_unique<TDataSet>(rows);
    else
        dataSet = std::make_unique<TClientDataSet>(rows);
    applyFilter(*dataSet, options);
    return dataSet;
}

Catalogue DataSetFactory::load(const HostOptions& options) {
    Catalogue catalogue;
    catalogue.dataSet = create(options);
    catalogue.source = SourceStamp::loadedNow(sourceName(options));
    catalogue.state = LoadedState::of(*catalogue.dataSet);
    return catalogue;
}

const std::string& DataSetFactory::sourceName(const HostOptions& options) {
    return options.databaseUrl.empty() ? options.dataPath : options.databaseUrl;
}

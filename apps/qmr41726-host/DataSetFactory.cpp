#include "DataSetFactory.h"

#include "FileKind.h"

#include "host/data/Loaders.h"
#include "host/data/TClientDataSet.h"
#include "host/rtl/Exception.h"
#include "host/sql/SqlLoader.h"

using namespace qmr;

namespace {

// The loader's message names the server (its URL) and what failed.
std::shared_ptr<const TColumnStore> loadServerRows(const HostOptions& options) {
    try {
        return loadSqlQuery(parseDatabaseUrl(options.databaseUrl), options.query);
    } catch (const Exception& e) {
        throw DataError(ansiToUtf8(e.Message()));
    }
}

std::shared_ptr<const TColumnStore> loadRows(const HostOptions& options) {
    if (!options.databaseUrl.empty())
        return loadServerRows(options);
    if (const std::string problem = notRegularFile(options.dataPath, false); !problem.empty())
        throw DataError("data file " + options.dataPath + (problem == "no such file" ? ": " : " ") + problem);
    try {
        if (isSqlitePath(options.dataPath))
            return loadSqlite(options.dataPath, options.query);
        return loadCsvFile(options.dataPath);
    } catch (const Exception& e) {
        // The loaders already name the file, line and column; keep their words (UTF-8 for the terminal).
        const std::string message = ansiToUtf8(e.Message());
        if (message.find(options.dataPath) != std::string::npos)
            throw DataError(message);
        throw DataError("data file " + options.dataPath + ": " + message);
    }
}

void applyFilter(TDataSet& dataSet, const HostOptions& options) {
    try {
        if (options.filter)
            dataSet.setFilter(optionTextToAnsi(*options.filter, "--filter"));
        if (options.filtered)
            dataSet.setFiltered(true);
    } catch (const Exception& e) {
        throw DataError("--filter \"" + options.filter.value_or("") +
                        "\" rejected by the data set: " + ansiToUtf8(e.Message()));
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

#include "DataSetFactory.h"

#include <qmr41726/data/load/FileKind.h>

#include <qmr41726/data/dataset/TClientDataSet.h>
#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/rtl/Exception.h>
#include <qmr41726/rtl/MessageText.h>
#include <qmr41726/sql/SqlLoader.h>

using namespace qmr;

namespace {

// What a load may take: the loaders' bounds, with the time limit the command line gives.
LoadLimits limitsOf(const HostOptions& options) {
    LoadLimits limits;
    limits.timeoutSeconds = options.queryTimeoutSeconds;
    return limits;
}

// The loader's message names the server (its URL) and what failed.
std::shared_ptr<const TColumnStore> loadServerRows(const HostOptions& options) {
    try {
        return loadSqlQuery(parseDatabaseUrl(options.databaseUrl), options.query, limitsOf(options));
    } catch (const Exception& e) {
        throw DataError(ansiToUtf8(e.Message()));
    }
}

std::shared_ptr<const TColumnStore> loadRows(const HostOptions& options) {
    if (!options.databaseUrl.empty())
        return loadServerRows(options);
    const std::string name = nameExcerpt(options.dataPath, kPathExcerptBytes, TextEncoding::Utf8);
    if (const std::string problem = notRegularFile(options.dataPath, false); !problem.empty())
        throw DataError("data file " + name + (problem == "no such file" ? ": " : " ") + problem);
    try {
        if (isSqlitePath(options.dataPath))
            return loadSqlite(options.dataPath, options.query, limitsOf(options));
        return loadCsvFile(options.dataPath);
    } catch (const Exception& e) {
        // The loaders already name the file, line and column; keep their words (UTF-8 for the terminal).
        const std::string message = ansiToUtf8(e.Message());
        if (message.find(name) != std::string::npos)
            throw DataError(message);
        throw DataError("data file " + name + ": " + message);
    }
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

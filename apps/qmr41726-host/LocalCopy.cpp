#include "LocalCopy.h"

#include "DataSetFactory.h"
#include "HostLog.h"

#include <qmr41726/data/cache/CatalogueCopy.h>
#include <qmr41726/rtl/MessageText.h>

#include <filesystem>

using namespace qmr;

LocalCopy::LocalCopy(std::string path, std::chrono::hours maxAge, std::uint64_t maxBytes)
    : m_path(std::move(path)), m_maxAge(maxAge), m_maxBytes(maxBytes) {}

void LocalCopy::keep(const TColumnStore& rows) const {
    if (const auto error = writeCatalogueCopy(rows, m_path))
        qCWarning(lcHost).noquote() << "the local copy of the catalogue was not written:"
                                    << QString::fromStdString(error->message);
}

// The copy's arrays are the file's pages, mapped: a copy serves with about its size resident,
// so it is held to the same bound as the load it stands in for.
LocalCopy::Rows LocalCopy::serveInstead(const std::string& loadError) const {
    std::error_code error;
    if (const std::uintmax_t bytes = std::filesystem::file_size(m_path, error); !error && bytes > m_maxBytes)
        throw DataError(loadError + "; the local copy could not serve instead: " +
                        nameExcerpt(m_path, kPathExcerptBytes, TextEncoding::Utf8) + " holds " +
                        std::to_string(bytes) + " bytes, more than " + std::to_string(m_maxBytes) +
                        ", the bound on one load's memory (--load-memory)");
    const CatalogueCopy copy = openCatalogueCopy(m_path, m_maxAge);
    if (!copy)
        throw DataError(loadError + "; the local copy could not serve instead: " + copy.error->message);
    const auto written =
        std::chrono::duration_cast<std::chrono::milliseconds>(copy.writtenAt.time_since_epoch());
    Rows rows{copy.store, QDateTime::fromMSecsSinceEpoch(written.count(), Qt::UTC)};
    qCWarning(lcHost).noquote() << "loading the catalogue failed:" << QString::fromStdString(loadError)
                                << "- serving the local copy written at"
                                << rows.written.toString(Qt::ISODateWithMs);
    return rows;
}

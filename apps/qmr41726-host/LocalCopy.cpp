#include "LocalCopy.h"

#include "DataSetFactory.h"
#include "HostLog.h"

#include <qmr41726/data/cache/CatalogueCopy.h>

using namespace qmr;

LocalCopy::LocalCopy(std::string path, std::chrono::hours maxAge)
    : m_path(std::move(path)), m_maxAge(maxAge) {}

void LocalCopy::keep(const TColumnStore& rows) const {
    if (const auto error = writeCatalogueCopy(rows, m_path))
        qCWarning(lcHost).noquote() << "the local copy of the catalogue was not written:"
                                    << QString::fromStdString(error->message);
}

LocalCopy::Rows LocalCopy::serveInstead(const std::string& loadError) const {
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

#include "CatalogueRefresher.h"

#include "DataSetFactory.h"
#include "HostLog.h"

#include <QDateTime>

#include <exception>

using namespace std::chrono;

CatalogueRefresher::CatalogueRefresher(HostOptions options, seconds period, const SourceStamp& current)
    : m_options(std::move(options)), m_period(period),
      m_inUseLoaded(current.loaded().toString(Qt::ISODateWithMs)) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { startLoad(); });
    // The first load comes a period after the one in use ended, however long the host took since.
    const qint64 since = current.loaded().msecsTo(QDateTime::currentDateTimeUtc());
    m_timer.start(int(std::max<qint64>(0, m_period.count() - since)));
}

CatalogueRefresher::~CatalogueRefresher() {
    if (m_load.valid())
        m_load.wait();
}

void CatalogueRefresher::startLoad() {
    if (m_load.valid())
        return;
    qCInfo(lcHost) << "loading the catalogue again from"
                   << QString::fromStdString(DataSetFactory::sourceName(m_options));
    m_load = std::async(std::launch::async, [this, options = m_options] {
        Outcome outcome;
        try {
            outcome.catalogue = DataSetFactory::load(options, DataSetFactory::OnFailure::Raise);
        } catch (const std::exception& error) {
            outcome.error = error.what();
        }
        // Heard in the GUI thread's event loop; dropped if this object is gone by then.
        QMetaObject::invokeMethod(
            this, [this] { loadEnded(); }, Qt::QueuedConnection);
        return outcome;
    });
}

void CatalogueRefresher::loadEnded() {
    if (!m_load.valid() || m_load.wait_for(seconds(0)) != std::future_status::ready)
        return; // already heard through takeReady()
    Outcome outcome = m_load.get();
    if (outcome.catalogue) {
        m_inUseLoaded = outcome.catalogue->source.loaded().toString(Qt::ISODateWithMs);
        qCInfo(lcHost) << "catalogue loaded again:" << outcome.catalogue->dataSet->recordCount()
                       << "rows, in use from the next call";
        m_ready = std::move(outcome.catalogue);
    } else {
        qCWarning(lcHost).noquote() << "loading the catalogue again failed:"
                                    << QString::fromStdString(outcome.error) << "- the catalogue loaded at"
                                    << m_inUseLoaded << "stays in use";
    }
    m_timer.start(int(m_period.count()));
}

std::optional<Catalogue> CatalogueRefresher::takeReady() {
    loadEnded();
    std::optional<Catalogue> ready = std::move(m_ready);
    m_ready.reset();
    return ready;
}

#pragma once
// --refresh: the catalogue loaded again from the same source in a worker thread, through the same
// front door as the first load, while the screen stays in use. The new catalogue waits until the
// caller takes it between two calls; the data set under an open screen is never touched.

#include "Catalogue.h"
#include "CommandLine.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <future>
#include <optional>
#include <string>

/// Loads the catalogue again `period` after the last load (successful or not), one load at a
/// time. A failed load leaves the catalogue in use and is logged as a warning (qmr.host); the
/// next try comes a period later. The timer and the load's end are heard in the event loop, so
/// loads start while a screen's modal loop runs.
class CatalogueRefresher : public QObject {
public:
    /// `options` name the source and how the data set is made; `current` is the catalogue in use.
    CatalogueRefresher(HostOptions options, std::chrono::seconds period, const SourceStamp& current);
    /// Waits for a load still running (see busy()).
    ~CatalogueRefresher() override;
    CatalogueRefresher(const CatalogueRefresher&) = delete;
    CatalogueRefresher& operator=(const CatalogueRefresher&) = delete;

    /// The newest catalogue loaded and not yet taken, if any; a load that has ended but has not
    /// yet been heard in the event loop is taken too.
    std::optional<Catalogue> takeReady();
    /// A load is running in the worker thread.
    bool busy() const noexcept { return m_load.valid(); }

private:
    /// What a load in the worker gave: the catalogue, or why there is none.
    struct Outcome {
        std::optional<Catalogue> catalogue;
        std::string error;
    };

    void startLoad();
    void loadEnded();

    HostOptions m_options;
    std::chrono::milliseconds m_period;
    /// When the catalogue in use (or the last that failed to load) was loaded.
    QString m_inUseLoaded;
    QTimer m_timer;
    std::future<Outcome> m_load;
    std::optional<Catalogue> m_ready;
};

#pragma once
// The host's side of the catalogue's local copy (--cache FILE): every load that succeeds leaves
// its rows in the copy, and a load that fails serves the copy instead, so that a terminal keeps
// selling while its server is down. Stale prices are worse than none: a copy older than
// --cache-max-age is refused.

#include <qmr41726/data/store/TColumnStore.h>

#include <QDateTime>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class LocalCopy {
public:
    /// A copy larger than `maxBytes`, the bound on one load's memory, is refused like a load.
    LocalCopy(std::string path, std::chrono::hours maxAge, std::uint64_t maxBytes);

    /// Writes `rows` as the copy. A failed write is logged (qmr.host) and nothing more: the rows
    /// loaded are in use all the same, and the previous copy stays whole.
    void keep(const qmr::TColumnStore& rows) const;

    /// The copy's rows, when a load failed with `loadError`.
    struct Rows {
        std::shared_ptr<const qmr::TColumnStore> store;
        /// When the copy was written.
        QDateTime written;
    };
    /// Opens the copy and logs why it serves; DataError naming the load's error and the copy's
    /// when the copy cannot serve either.
    Rows serveInstead(const std::string& loadError) const;

private:
    std::string m_path;
    std::chrono::hours m_maxAge;
    std::uint64_t m_maxBytes;
};

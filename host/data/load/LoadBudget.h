#pragma once
// A query load's use of its LoadLimits, shared by the SQLite and the server loaders.

#include <qmr41726/data/load/Loaders.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace qmr {

/// Counts the rows and bytes a load has taken and watches its clock. Each check gives the words
/// naming the bound that was passed (empty while none is), for the loader to put after its source
/// and row.
class LoadBudget {
public:
    /// Starts the clock.
    explicit LoadBudget(const LoadLimits& limits)
        : m_limits(limits),
          m_deadline(std::chrono::steady_clock::now() + std::chrono::seconds(limits.timeoutSeconds)) {}

    /// Counts one more row holding `bytes`.
    std::string addRow(std::uint64_t bytes) {
        if (++m_rows > m_limits.maxRows)
            return "the query returns more than " + std::to_string(m_limits.maxRows) +
                   " rows, the bound on one load; nothing was loaded";
        m_bytes += bytes;
        if (m_bytes > m_limits.maxBytes)
            return "the rows take more than " + std::to_string(m_limits.maxBytes) +
                   " bytes, the bound on one load's memory; nothing was loaded";
        return {};
    }

    /// Whether the time limit has passed.
    bool pastDeadline() const {
        return m_limits.timeoutSeconds > 0 && std::chrono::steady_clock::now() > m_deadline;
    }

    /// When the time limit passes; without a limit, the moment the clock started.
    std::chrono::steady_clock::time_point deadline() const noexcept { return m_deadline; }

    /// The words for a query stopped at its time limit.
    std::string timeoutText() const {
        return "the query ran longer than its time limit of " + std::to_string(m_limits.timeoutSeconds) +
               (m_limits.timeoutSeconds == 1 ? " second" : " seconds") + "; nothing was loaded";
    }

    const LoadLimits& limits() const noexcept { return m_limits; }

private:
    LoadLimits m_limits;
    std::chrono::steady_clock::time_point m_deadline;
    long long m_rows = 0;
    std::uint64_t m_bytes = 0;
};

} // namespace qmr

#pragma once
// A load's use of its LoadLimits, shared by every loader: CSV, SQLite and the servers' row
// sources. Each value is checked against the bound on one value before it is copied, and each
// value the store keeps is charged to its column, so that the memory bound holds for what the
// process really holds rather than for the values' bytes alone.
//
// What a load holds at its peak is everything charged so far plus the copy of one growing column:
// a column's arrays grow by doubling, and while one moves to its larger home both the old array
// and the part copied into the new one are resident. The bound is therefore checked against the
// charges plus the largest column's, which keeps the peak of a refused load within 1.25 times the
// bound plus the process's fixed 200 MB (libraries, SQLite's cache, one row on its way in).
//
// Inline, so that the SQL loader, a library of its own above the runtime, keeps the same books
// without the runtime exporting them.

#include <qmr41726/data/load/Loaders.h>
#include <qmr41726/data/store/TFieldDef.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace qmr {

/// Counts the rows and bytes a load has taken and watches its clock. Each check gives the words
/// naming the bound that was passed (empty while none is), for the loader to put after its source
/// and row.
class LoadBudget {
public:
    /// What the store keeps for a string beyond its text: a 4-byte offset and 4 bytes of its head.
    static constexpr std::uint64_t kStringOverhead = 8;

    /// Starts the clock.
    explicit LoadBudget(const LoadLimits& limits)
        : m_limits(limits),
          m_deadline(std::chrono::steady_clock::now() + std::chrono::seconds(limits.timeoutSeconds)) {}

    /// The words for a value of `bytes` past the bound on one value; empty for one within it.
    /// Loaders ask before copying the value anywhere.
    static std::string valueTooLarge(std::uint64_t bytes) {
        if (bytes <= LoadLimits::kMaxValueBytes)
            return {};
        return "the value holds " + std::to_string(bytes) + " bytes, more than " +
               std::to_string(LoadLimits::kMaxValueBytes) + ", the bound on one value; nothing was loaded";
    }

    /// The bytes the store keeps for one value of a `type` field holding `textBytes` of text.
    static std::uint64_t storeBytes(TFieldType type, std::uint64_t textBytes) {
        switch (type) {
        case TFieldType::ftString:
            return textBytes + kStringOverhead;
        case TFieldType::ftBoolean:
            return 1;
        case TFieldType::ftInteger:
        case TFieldType::ftFloat:
        case TFieldType::ftDateTime:
            break;
        }
        return 8;
    }

    /// Charges `bytes` the store now keeps in column `column`.
    void hold(std::size_t column, std::uint64_t bytes) {
        if (column >= m_columns.size())
            m_columns.resize(column + 1, 0);
        m_columns[column] += bytes;
        m_largest = std::max(m_largest, m_columns[column]);
        m_bytes += bytes;
    }

    /// Charges `bytes` held outside the store (rows waiting for their columns' types). Charges are
    /// never given back: what is released late in a load was held at its peak.
    void holdAside(std::uint64_t bytes) { m_bytes += bytes; }

    /// Counts the end of one more row; the words of the first bound passed, else empty.
    std::string endRow() {
        if (++m_rows > m_limits.maxRows)
            return "the query returns more than " + std::to_string(m_limits.maxRows) +
                   " rows, the bound on one load; nothing was loaded";
        if (m_bytes + m_largest > m_limits.maxBytes)
            return "the rows take more than " + std::to_string(m_limits.maxBytes) +
                   " bytes, the bound on one load's memory (--load-memory); nothing was loaded";
        return {};
    }

    /// Counts one more row holding `bytes`, for a row source that charges whole rows.
    std::string addRow(std::uint64_t bytes) {
        holdAside(bytes);
        return endRow();
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
    /// Bytes charged to each column, and the most of them.
    std::vector<std::uint64_t> m_columns;
    std::uint64_t m_largest = 0;
};

} // namespace qmr

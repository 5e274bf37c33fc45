#pragma once
// What a data set looked like when the host loaded it, put back before every repeated call: the
// search screen leaves its filter, Filtered switch, index and current row changed on purpose
// (docs/integrating.md), and each call of a repeated run starts as a first call would.

#include <qmr41726/rtl/AnsiString.h>

#include <utility>
#include <vector>

namespace qmr {
class TDataSet;
} // namespace qmr

/// The filter text, Filtered switch, index definitions, index name (client data sets) and current
/// row of a data set, taken once and restored as often as needed. Restoring changes only what
/// differs, so that a data set the call left as it found it costs nothing to restore, and an index
/// order the data set keeps is reused rather than built again.
class LoadedState {
public:
    /// The state of `dataSet` now.
    static LoadedState of(const qmr::TDataSet& dataSet);

    /// Puts `dataSet` back in this state. EDatabaseError (from the data set) if it refuses, which
    /// a data set whose rows have not changed since the state was taken does not.
    void restore(qmr::TDataSet& dataSet) const;

private:
    /// An index definition: name, fields and options.
    struct IndexDef {
        qmr::AnsiString name;
        qmr::AnsiString fields;
        unsigned options = 0;
        bool operator==(const IndexDef&) const = default;
    };

    qmr::AnsiString m_filter;
    bool m_filtered = false;
    /// Client data sets only.
    bool m_client = false;
    std::vector<IndexDef> m_indexDefs;
    qmr::AnsiString m_indexName;
    int m_recNo = 0;
};

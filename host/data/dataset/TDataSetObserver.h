#pragma once

#include <qmr41726/QmrRuntimeExport.h>

namespace qmr {
// What a data set tells the controls linked to it.

class TDataSet;
class TDataSource;

/// Notified by a data set when its rows or its current row change.
class QMR_RUNTIME_EXPORT TDataSetObserver {
public:
    virtual ~TDataSetObserver() = default;
    /// Rows, their order, the filter or the open state changed: everything shown is stale.
    virtual void dataSetChanged(TDataSet& dataSet) = 0;
    /// The current row moved; the rows themselves are unchanged.
    virtual void currentRowChanged(TDataSet& dataSet) = 0;
    /// The data set is being freed; drop every reference to it.
    virtual void dataSetDestroyed(TDataSet& dataSet) = 0;
    /// The data source that passes these notifications on is being freed (a form frees its data
    /// source before a grid created earlier); drop every reference to it.
    virtual void dataSourceDestroyed(TDataSource& /*source*/) {}
};

} // namespace qmr

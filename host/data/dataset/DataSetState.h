#pragma once
// The private state of a data set, shared by its source files.

#include <qmr41726/data/dataset/TDataSet.h>
#include <qmr41726/data/filter/FilterEngine.h>

#include <memory>
#include <vector>

namespace qmr {

struct TDataSet::State {
    std::shared_ptr<const TColumnStore> store;
    bool active = false;
    std::vector<std::unique_ptr<TField>> fields;
    AnsiString filterText;
    bool filtered = false;
    /// The rows a filter let through, in display order; nullptr while every row shows.
    std::shared_ptr<const FilterRows> filteredRows;
    FilterEngine engine;
    /// Current position in the view, from 0; -1 when the view is empty or the set is closed.
    int current = -1;
    /// The store row at `current` (-1 with it): what stays current when the order changes.
    long long currentRow = -1;
    bool bof = true;
    bool eof = true;
    std::vector<TDataSetObserver*> observers;
};

} // namespace qmr

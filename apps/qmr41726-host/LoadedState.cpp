#include "LoadedState.h"

#include <qmr41726/data/dataset/TClientDataSet.h>

using namespace qmr;

LoadedState LoadedState::of(const TDataSet& dataSet) {
    LoadedState state;
    state.m_filter = dataSet.filter();
    state.m_filtered = dataSet.filtered();
    state.m_recNo = dataSet.recNo();
    if (const auto* client = dynamic_cast<const TClientDataSet*>(&dataSet)) {
        state.m_client = true;
        state.m_indexName = client->indexName();
        const TIndexDefs& defs = client->indexDefs();
        for (int i = 0; i < defs.count(); ++i)
            state.m_indexDefs.push_back({defs.item(i).name(), defs.item(i).fields(), defs.item(i).options()});
    }
    return state;
}

void LoadedState::restore(TDataSet& dataSet) const {
    if (auto* client = m_client ? dynamic_cast<TClientDataSet*>(&dataSet) : nullptr) {
        TIndexDefs& defs = client->indexDefs();
        std::vector<IndexDef> now;
        for (int i = 0; i < defs.count(); ++i)
            now.push_back({defs.item(i).name(), defs.item(i).fields(), defs.item(i).options()});
        // The definitions first: the index name restored next must be one of them. The orders the
        // data set keeps belong to its rows, not to the definitions, so none is lost here.
        if (now != m_indexDefs) {
            while (defs.count() > 0)
                defs.remove(0);
            for (const IndexDef& def : m_indexDefs)
                defs.add(def.name, def.fields, def.options);
        }
        if (client->indexName() != m_indexName) {
            // A filtered view is reordered row by row; a filter about to change is evaluated
            // afresh below, so it goes off first and the reorder costs nothing.
            if (dataSet.filtered() && dataSet.filter() != m_filter)
                dataSet.setFiltered(false);
            client->setIndexName(m_indexName);
        }
    }
    if (dataSet.filter() != m_filter) {
        // A text that ends up switched off is never evaluated.
        if (dataSet.filtered() && !m_filtered)
            dataSet.setFiltered(false);
        dataSet.setFilter(m_filter);
    }
    if (dataSet.filtered() != m_filtered)
        dataSet.setFiltered(m_filtered);
    if (dataSet.recNo() != m_recNo)
        dataSet.setRecNo(m_recNo);
}

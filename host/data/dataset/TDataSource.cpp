#include <qmr41726/data/dataset/TDataSource.h>

#include <algorithm>
#include <utility>

namespace qmr {

TDataSource::~TDataSource() {
    if (m_dataSet)
        m_dataSet->removeObserver(this);
    // Controls linked to this source (a grid created before it on the same form outlives it)
    // must not reach it once it is gone.
    const auto observers = std::exchange(m_observers, {});
    for (TDataSetObserver* observer : observers)
        observer->dataSourceDestroyed(*this);
}

void TDataSource::setDataSet(TDataSet* dataSet) {
    if (dataSet == m_dataSet)
        return;
    TDataSet* old = m_dataSet;
    if (old)
        old->removeObserver(this);
    m_dataSet = dataSet;
    if (m_dataSet) {
        m_dataSet->addObserver(this);
        dataSetChanged(*m_dataSet);
    } else if (old) {
        tellObservers([](TDataSetObserver& o, TDataSet& d) { o.dataSetDestroyed(d); }, *old);
    }
}

void TDataSource::addObserver(TDataSetObserver* observer) {
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void TDataSource::removeObserver(TDataSetObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void TDataSource::dataSetChanged(TDataSet& dataSet) {
    tellObservers([](TDataSetObserver& o, TDataSet& d) { o.dataSetChanged(d); }, dataSet);
}

void TDataSource::currentRowChanged(TDataSet& dataSet) {
    tellObservers([](TDataSetObserver& o, TDataSet& d) { o.currentRowChanged(d); }, dataSet);
}

void TDataSource::dataSetDestroyed(TDataSet& dataSet) {
    m_dataSet = nullptr;
    tellObservers([](TDataSetObserver& o, TDataSet& d) { o.dataSetDestroyed(d); }, dataSet);
}

// Controls may unlink themselves while being told; each is told only while still linked.
void TDataSource::tellObservers(void (*call)(TDataSetObserver&, TDataSet&), TDataSet& dataSet) {
    const auto snapshot = m_observers;
    for (TDataSetObserver* observer : snapshot) {
        if (std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end())
            call(*observer, dataSet);
    }
}

} // namespace qmr

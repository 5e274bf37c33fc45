#pragma once
// The link between one data set and the controls that show it.

#include <qmr41726/QmrRuntimeExport.h>
#include <qmr41726/data/dataset/TDataSet.h>

#include <vector>

namespace qmr {

/// Links one data set to controls and passes its notifications on to them.
class QMR_RUNTIME_EXPORT TDataSource : public TComponent, private TDataSetObserver {
public:
    TDataSource() = default;
    ~TDataSource() override;

    /// The data set passed on (not owned); nullptr for none.
    TDataSet* dataSet() const noexcept { return m_dataSet; }
    /// Points at another data set (or none); the linked controls are told the data changed, or,
    /// when it now points at none, told to let go of the old one (dataSetDestroyed).
    void setDataSet(TDataSet* dataSet);

    /// Registers `observer` (not owned; a grid) to hear of the data set's changes through this
    /// source, whichever data set it points at.
    void addObserver(TDataSetObserver* observer);
    /// Stops telling `observer`; removing one never added does nothing.
    void removeObserver(TDataSetObserver* observer);

private:
    void dataSetChanged(TDataSet& dataSet) override;
    void currentRowChanged(TDataSet& dataSet) override;
    void dataSetDestroyed(TDataSet& dataSet) override;
    void tellObservers(void (*call)(TDataSetObserver&, TDataSet&), TDataSet& dataSet);

    TDataSet* m_dataSet = nullptr;
    std::vector<TDataSetObserver*> m_observers;
};

} // namespace qmr

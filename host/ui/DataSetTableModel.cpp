#include "host/ui/DataSetTableModel.h"

#include "host/data/TDataSet.h"
#include "host/ui/QtText.h"

namespace qmr {

DataSetTableModel::DataSetTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void DataSetTableModel::setSource(TDataSet* dataSet, std::vector<Column> columns) {
    beginResetModel();
    m_dataSet = dataSet;
    m_columns = std::move(columns);
    endResetModel();
}

void DataSetTableModel::refresh() {
    beginResetModel();
    endResetModel();
}

int DataSetTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_dataSet || !m_dataSet->active())
        return 0;
    return m_dataSet->recordCount();
}

int DataSetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataSetTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || !m_dataSet)
        return {};
    // The data set may have shrunk before the grid heard of it; such a row shows nothing.
    if (index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int field = m_columns[size_t(index.column())].fieldIndex;
    if (field >= m_dataSet->fieldCount())
        return {};
    return toQString(m_dataSet->text(index.row(), field));
}

QVariant DataSetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    return m_columns[size_t(section)].title;
}

Qt::ItemFlags DataSetTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace qmr

#include <qmr41726/ui/grid/DataSetTableModel.h>

#include <qmr41726/data/dataset/TDataSet.h>
#include <qmr41726/ui/QtText.h>

#include <algorithm>

namespace qmr {

namespace {

/// Characters of a value a cell holds: several times what the widest column can show, so that
/// nothing visible changes, while a value of megabytes is neither converted nor laid out whole on
/// every refresh (a 10 MB value cost seconds a keystroke in Qt's text layout).
constexpr std::size_t kCellCharacters = 1024;

// The value as its cell shows it.
QString cellText(const TDataSet& dataSet, int row, int field) {
    const AnsiString text = dataSet.text(row, field);
    return toQString(std::string_view(text).substr(0, kCellCharacters));
}

} // namespace

DataSetTableModel::DataSetTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void DataSetTableModel::setSource(TDataSet* dataSet, std::vector<Column> columns) {
    beginResetModel();
    m_dataSet = dataSet;
    m_columns = std::move(columns);
    m_top = 0;
    m_rows = 0;
    m_cells.clear();
    endResetModel();
}

int DataSetTableModel::dataSetRowCount() const {
    return m_dataSet && m_dataSet->active() ? m_dataSet->recordCount() : 0;
}

void DataSetTableModel::showRows(int top, int count) {
    const int available = std::max(0, dataSetRowCount() - std::max(top, 0));
    const int rows = m_columns.empty() ? 0 : std::clamp(count, 0, available);
    const int columns = int(m_columns.size());
    std::vector<QString> cells;
    cells.reserve(size_t(rows) * size_t(columns));
    for (int row = 0; row < rows; ++row) {
        for (const Column& column : m_columns)
            cells.push_back(column.fieldIndex < m_dataSet->fieldCount()
                                ? cellText(*m_dataSet, top + row, column.fieldIndex)
                                : QString());
    }
    m_top = std::max(top, 0);
    if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        m_cells = std::move(cells);
        endRemoveRows();
    } else if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        m_cells = std::move(cells);
        endInsertRows();
    } else {
        m_cells = std::move(cells);
    }
    if (rows > 0)
        emit dataChanged(index(0, 0), index(rows - 1, columns - 1), {Qt::DisplayRole});
}

int DataSetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int DataSetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataSetTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows ||
        index.column() >= columnCount())
        return {};
    return m_cells[size_t(index.row()) * m_columns.size() + size_t(index.column())];
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

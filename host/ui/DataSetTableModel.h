#pragma once
// The grid's table model: a window onto a data set's current view. Nothing is copied; every
// cell is read from the data set when Qt asks for it.

#include <QAbstractTableModel>

#include <vector>

namespace qmr {

class TDataSet;

/// Rows of a data set as a Qt table: one model column per grid column, rows in the data set's
/// filtered and ordered view.
class DataSetTableModel : public QAbstractTableModel {
public:
    /// A model column: the data set field it shows and its title.
    struct Column {
        int fieldIndex;
        QString title;
    };

    explicit DataSetTableModel(QObject* parent = nullptr);

    /// Shows `dataSet` (or nothing) with these columns; views forget what they showed.
    void setSource(TDataSet* dataSet, std::vector<Column> columns);
    /// The rows changed (filter, order, open state): views re-read them.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    TDataSet* m_dataSet = nullptr;
    std::vector<Column> m_columns;
};

} // namespace qmr

#pragma once
// The grid's table model: a window of a few rows onto a data set's current view. The model
// holds only the rows the grid can show, copied as text when the window moves or the data set
// changes, so what Qt keeps per row and what painting costs do not grow with the data set.

#include <QAbstractTableModel>
#include <QString>

#include <vector>

namespace qmr {

class TDataSet;

/// Rows `top()` to `top() + rowCount() - 1` of a data set's filtered and ordered view as a Qt
/// table: model row 0 is data set row `top()`, one model column per grid column.
class DataSetTableModel : public QAbstractTableModel {
public:
    /// A model column: the data set field it shows and its title.
    struct Column {
        int fieldIndex;
        QString title;
    };

    explicit DataSetTableModel(QObject* parent = nullptr);

    /// Shows `dataSet` (or nothing) with these columns and an empty window; views forget what
    /// they showed.
    void setSource(TDataSet* dataSet, std::vector<Column> columns);
    /// Reads rows `top` to `top + count - 1` of the data set's view (as far as it has them) into
    /// the window. Views hear of it as rows inserted or removed at the end and one change of
    /// the data of every row kept, never as a reset.
    void showRows(int top, int count);

    /// The data set row shown in model row 0.
    int top() const noexcept { return m_top; }
    /// The rows of the data set's view, of which the model shows a window.
    int dataSetRowCount() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    TDataSet* m_dataSet = nullptr;
    std::vector<Column> m_columns;
    int m_top = 0;
    int m_rows = 0;
    /// The window's texts, row by row.
    std::vector<QString> m_cells;
};

} // namespace qmr

#pragma once
// How the grid paints a data cell: flat, in the grid's colours, the current cell highlighted.

#include <qmr41726/ui/grid/GridAppearance.h>

#include <QStyledItemDelegate>

#include <memory>

class QTableView;

namespace qmr {

/// Paints cells in the cell font and colours, the current cell in the system's selection
/// colours, and the grid's row and column lines.
class GridCellDelegate : public QStyledItemDelegate {
public:
    GridCellDelegate(std::shared_ptr<const GridAppearance> look, QTableView* view);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    bool highlighted(const QModelIndex& index) const;

    std::shared_ptr<const GridAppearance> m_look;
    QTableView* m_view;
};

} // namespace qmr

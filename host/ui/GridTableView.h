#pragma once
// The Qt view behind TDBGrid. A grid is often larger than the panel that holds it (its border
// and scroll bars are hidden past the panel's edges), so the view keeps the current row inside
// the part the user can actually see, not merely inside its own viewport.

#include <QTableView>

#include <functional>

namespace qmr {

/// A read-only table view: no editing, no type-ahead search, uniform rows, paging by what is
/// visible through the parent.
class GridTableView : public QTableView {
public:
    GridTableView();

    /// Called whenever the view is shown (the grid resolves its data source by name here).
    std::function<void()> onShown;

    /// The part of `widget` (the view or one of its parts) the user can see through the view's
    /// parent, in `widget`'s coordinates.
    QRect visibleRectIn(const QWidget* widget) const;
    /// How many whole rows fit into the visible part of the viewport (at least 1).
    int visibleRowCount() const;
    /// The rows all have this height; the view never measures rows one by one.
    void setRowHeight(int height);

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    /// Scrolls vertically only, so that `row` is visible.
    void scrollToRow(int row);
    /// Scrolls sideways only, so that `column` (model position) is visible when it fits.
    void scrollToColumn(int column);

protected:
    void keyboardSearch(const QString& search) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    /// The highest top row: the one that shows the last row at the bottom of the visible part.
    int lastTopRow() const;
};

} // namespace qmr

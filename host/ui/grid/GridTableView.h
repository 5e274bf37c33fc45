#pragma once
// The Qt view behind TDBGrid. A grid is often larger than the panel that holds it (its border
// and scroll bars are hidden past the panel's edges), so the view keeps the current row inside
// the part the user can actually see, not merely inside its own viewport.
//
// The view never scrolls vertically: its model is a window of the rows it can show, and the
// grid moves that window. Keys and the wheel that leave the window ask the grid for another
// row of the data set instead.

#include <QPointer>
#include <QTableView>

#include <functional>

namespace qmr {

class DataSetTableModel;

/// A read-only table view over a window of rows: no editing, no type-ahead search, uniform
/// rows, paging by what is visible through the parent.
class GridTableView : public QTableView {
public:
    GridTableView();

    /// Called whenever the view is shown (the grid resolves its data source by name here).
    std::function<void()> onShown;
    /// Called before the view is painted or handles input, so that work the grid deferred is
    /// done by then.
    std::function<void()> onBeforeUse;
    /// Called when the room for rows may have changed (size, position, row height).
    std::function<void()> onRoomChanged;
    /// Called when a key or the wheel asks for data set row `row` (from 0) to become current.
    std::function<void(int row)> onRowRequested;

    /// Shows `rows` and moves by its data set rows.
    void setRowWindow(DataSetTableModel* rows);

    /// The part of `widget` (the view or one of its parts) the user can see through the view's
    /// parent, in `widget`'s coordinates.
    QRect visibleRectIn(const QWidget* widget) const;
    /// How many whole rows fit into the visible part of the viewport (at least 1).
    int visibleRowCount() const;
    /// How many rows, the last one perhaps in part, the viewport paints (at least the visible
    /// ones): the size of the window.
    int paintedRowCount() const;
    /// The rows all have this height; the view never measures rows one by one.
    void setRowHeight(int height);
    /// Draws the border at `scale` (the scale of the view's form).
    void setBorderScale(double scale);

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    /// Scrolls sideways only, so that `column` (model position) is visible when it fits.
    void scrollToColumn(int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool focusNextPrevChild(bool next) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void beforeUse();
    /// The data set row a cursor action leads to from `row`, or -1 when it stays in its row.
    int targetRow(CursorAction action, Qt::KeyboardModifiers modifiers, int row, QModelIndex& byQt);
    /// Makes data set row `row` current and returns its cell in `column` in the moved window.
    QModelIndex requestRow(int row, int column);

    DataSetTableModel* m_rows = nullptr;
    /// The top-level window whose update requests this view watches.
    QPointer<QWidget> m_window;
};

} // namespace qmr

#include "host/ui/GridTableView.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace qmr {

namespace {
// The view's border lies under the edges of the panel that clips it, like a classic grid's.
constexpr int kBorderWidth = 3;
} // namespace

GridTableView::GridTableView() {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(kBorderWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setAutoScroll(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    // Qt aligns the last row with the bottom of the whole viewport when the scroll bar stands at
    // its maximum; the range ends one step past the last top row so that it never does.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value > lastTopRow())
            verticalScrollBar()->setValue(lastTopRow());
    });
}

QRect GridTableView::visibleRectIn(const QWidget* widget) const {
    QRect visible = rect();
    if (const QWidget* holder = parentWidget())
        visible &= holder->rect().translated(-pos());
    const QRect mapped(widget->mapFrom(this, visible.topLeft()), visible.size());
    return mapped & widget->rect();
}

int GridTableView::visibleRowCount() const {
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    return std::max(1, visibleRectIn(viewport()).height() / rowHeight);
}

void GridTableView::setRowHeight(int height) {
    verticalHeader()->setDefaultSectionSize(height);
    updateGeometries();
}

void GridTableView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableView::scrollTo(index, hint);
    if (!index.isValid())
        return;
    scrollToRow(index.row());
    scrollToColumn(index.column());
}

void GridTableView::scrollToRow(int row) {
    // Rows scroll one at a time: the scroll bar's value is the top row.
    QScrollBar* rows = verticalScrollBar();
    const int shown = visibleRowCount();
    if (row >= rows->value() + shown)
        rows->setValue(std::min(row - shown + 1, lastTopRow()));
    else if (row < rows->value())
        rows->setValue(row);
}

void GridTableView::scrollToColumn(int column) {
    const QRect seen = visibleRectIn(viewport());
    const int right = columnViewportPosition(column) + columnWidth(column);
    if (right <= seen.right() + 1 || columnWidth(column) > seen.width())
        return;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + right - seen.right() - 1);
}

void GridTableView::keyboardSearch(const QString&) {
    // Typed characters belong to the form's search, never to a jump inside the grid.
}

void GridTableView::keyPressEvent(QKeyEvent* event) {
    // Touches never scroll sideways (there is no scroll bar to come back with); keys that move
    // the current cell bring it into view.
    const QModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid())
        scrollTo(currentIndex());
}

void GridTableView::updateGeometries() {
    QTableView::updateGeometries();
    // The last row must be reachable inside the visible part, not just inside the viewport.
    const int top = lastTopRow();
    verticalScrollBar()->setRange(0, top > 0 ? top + 1 : 0);
    verticalScrollBar()->setPageStep(visibleRowCount());
    const int hiddenWidth = horizontalHeader()->length() - visibleRectIn(viewport()).width();
    horizontalScrollBar()->setRange(0, std::max(0, hiddenWidth));
}

int GridTableView::lastTopRow() const {
    const int rowCount = model() ? model()->rowCount() : 0;
    return std::max(0, rowCount - visibleRowCount());
}

void GridTableView::wheelEvent(QWheelEvent* event) {
    // The wheel moves the current row, as the arrow keys do; the rows follow it.
    const QModelIndex current = currentIndex();
    const int steps = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    event->accept();
    if (!current.isValid() || steps == 0)
        return;
    const int row = std::clamp(current.row() - steps, 0, model()->rowCount() - 1);
    setCurrentIndex(model()->index(row, current.column()));
    scrollToRow(row);
}

QModelIndex GridTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    if ((action != MovePageDown && action != MovePageUp) || !current.isValid() || !model())
        return QTableView::moveCursor(action, modifiers);
    const int step = action == MovePageDown ? visibleRowCount() : -visibleRowCount();
    const int row = std::clamp(current.row() + step, 0, model()->rowCount() - 1);
    return model()->index(row, current.column());
}

void GridTableView::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    if (onShown)
        onShown();
}

void GridTableView::moveEvent(QMoveEvent* event) {
    QTableView::moveEvent(event);
    updateGeometries();
}

} // namespace qmr

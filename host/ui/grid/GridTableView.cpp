#include <qmr41726/ui/grid/GridTableView.h>

#include <qmr41726/ui/Scaling.h>
#include <qmr41726/ui/grid/DataSetTableModel.h>

#include <QHeaderView>
#include <QKeyEvent>
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
}

void GridTableView::setRowWindow(DataSetTableModel* rows) {
    m_rows = rows;
    setModel(rows);
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

int GridTableView::paintedRowCount() const {
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    return std::max(visibleRowCount(), (viewport()->height() + rowHeight - 1) / rowHeight);
}

void GridTableView::setRowHeight(int height) {
    verticalHeader()->setDefaultSectionSize(height);
    updateGeometries();
    if (onRoomChanged)
        onRoomChanged();
}

void GridTableView::setBorderScale(double scale) {
    setLineWidth(scaledLength(kBorderWidth, scale));
}

void GridTableView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableView::scrollTo(index, hint);
    if (index.isValid())
        scrollToColumn(index.column());
}

void GridTableView::scrollToColumn(int column) {
    const QRect seen = visibleRectIn(viewport());
    const int right = columnViewportPosition(column) + columnWidth(column);
    if (right <= seen.right() + 1 || columnWidth(column) > seen.width())
        return;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + right - seen.right() - 1);
}

void GridTableView::beforeUse() {
    if (onBeforeUse)
        onBeforeUse();
}

bool GridTableView::eventFilter(QObject* watched, QEvent* event) {
    // The window paints its widgets when it handles an update request, including the one an
    // immediate repaint sends; the rows must be current before any of them paints, so that
    // the refresh does not itself ask for a second paint.
    if (watched == m_window && event->type() == QEvent::UpdateRequest)
        beforeUse();
    return QTableView::eventFilter(watched, event);
}

bool GridTableView::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Paint: // painted without an update request, as a grab does
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        beforeUse();
        break;
    case QEvent::Resize:
        if (onRoomChanged)
            onRoomChanged();
        break;
    default:
        break;
    }
    return QTableView::viewportEvent(event);
}

void GridTableView::keyboardSearch(const QString&) {
    // Typed characters belong to the form's search, never to a jump inside the grid.
}

void GridTableView::keyPressEvent(QKeyEvent* event) {
    beforeUse();
    // Touches never scroll sideways (there is no scroll bar to come back with); keys that move
    // the current cell bring it into view.
    const QModelIndex before = currentIndex();
    QTableView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid())
        scrollTo(currentIndex());
}

void GridTableView::updateGeometries() {
    QTableView::updateGeometries();
    // The model holds no row past what the viewport shows: there is nothing to scroll to.
    verticalScrollBar()->setRange(0, 0);
    const int hiddenWidth = horizontalHeader()->length() - visibleRectIn(viewport()).width();
    horizontalScrollBar()->setRange(0, std::max(0, hiddenWidth));
}

// With Tab navigation on, Tab and Backtab move the current cell and never the focus: Qt would
// pass the focus on whenever no cell can take it (an empty grid, the last cell of the last row).
bool GridTableView::focusNextPrevChild(bool next) {
    if (!tabKeyNavigation())
        return QTableView::focusNextPrevChild(next);
    QKeyEvent event(QEvent::KeyPress, next ? Qt::Key_Tab : Qt::Key_Backtab, Qt::NoModifier);
    keyPressEvent(&event);
    return true;
}

void GridTableView::wheelEvent(QWheelEvent* event) {
    // The wheel moves the current row, as the arrow keys do; the rows follow it.
    const QModelIndex current = currentIndex();
    const int steps = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    event->accept();
    if (!current.isValid() || steps == 0 || !m_rows)
        return;
    const int last = m_rows->dataSetRowCount() - 1;
    requestRow(std::clamp(m_rows->top() + current.row() - steps, 0, std::max(last, 0)), current.column());
}

QModelIndex GridTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !m_rows)
        return QTableView::moveCursor(action, modifiers);
    QModelIndex byQt;
    const int row = targetRow(action, modifiers, m_rows->top() + current.row(), byQt);
    if (row < 0)
        return byQt;
    return requestRow(row, byQt.isValid() ? byQt.column() : current.column());
}

int GridTableView::targetRow(CursorAction action, Qt::KeyboardModifiers modifiers, int row,
                             QModelIndex& byQt) {
    const int last = m_rows->dataSetRowCount() - 1;
    const bool toEnd = modifiers & Qt::ControlModifier;
    int target = row;
    switch (action) {
    case MoveUp:
        target = row - 1;
        break;
    case MoveDown:
        target = row + 1;
        break;
    case MovePageUp:
        target = row - visibleRowCount();
        break;
    case MovePageDown:
        target = row + visibleRowCount();
        break;
    case MoveHome:
    case MoveEnd:
        // Home and End move along the row; with Ctrl they go to the first or last row as well.
        byQt = QTableView::moveCursor(action, modifiers);
        if (!toEnd)
            return -1;
        target = action == MoveHome ? 0 : last;
        break;
    case MoveNext:
    case MovePrevious:
        // Tab past a row's end goes on to the next row, past the last one back to the first.
        byQt = QTableView::moveCursor(action, modifiers);
        if (!byQt.isValid() || byQt.row() == currentIndex().row())
            return -1;
        target = action == MoveNext ? (row >= last ? 0 : row + 1) : (row <= 0 ? last : row - 1);
        break;
    default:
        byQt = QTableView::moveCursor(action, modifiers);
        return -1;
    }
    return std::clamp(target, 0, std::max(last, 0));
}

QModelIndex GridTableView::requestRow(int row, int column) {
    if (onRowRequested && row != m_rows->top() + currentIndex().row())
        onRowRequested(row);
    // The data set moved and the window followed it; a row it did not reach gives no index.
    return m_rows->index(row - m_rows->top(), column);
}

void GridTableView::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    if (m_window != window()) {
        if (m_window)
            m_window->removeEventFilter(this);
        m_window = window();
        m_window->installEventFilter(this);
    }
    if (onShown)
        onShown();
}

void GridTableView::moveEvent(QMoveEvent* event) {
    QTableView::moveEvent(event);
    updateGeometries();
    if (onRoomChanged)
        onRoomChanged();
}

} // namespace qmr

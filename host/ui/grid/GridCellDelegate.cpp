#include <qmr41726/ui/grid/GridCellDelegate.h>

#include <QPainter>
#include <QTableView>

namespace qmr {

namespace {
constexpr int kTextMargin = 2;
} // namespace

GridCellDelegate::GridCellDelegate(std::shared_ptr<const GridAppearance> look, QTableView* view)
    : QStyledItemDelegate(view), m_look(std::move(look)), m_view(view) {}

bool GridCellDelegate::highlighted(const QModelIndex& index) const {
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid() || current.row() != index.row())
        return false;
    if (!m_look->rowSelect && current.column() != index.column())
        return false;
    return m_look->alwaysShowSelection || m_view->hasFocus();
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const GridAppearance& look = *m_look;
    const bool current = highlighted(index);
    const QPalette& system = m_view->palette();
    painter->save();
    painter->fillRect(option.rect,
                      current ? system.color(QPalette::Active, QPalette::Highlight) : look.cellColor);
    painter->setPen(look.lineColor);
    if (look.rowLines)
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    if (look.columnLines)
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->setClipRect(option.rect);
    painter->setFont(look.cellFont);
    painter->setPen(current ? system.color(QPalette::Active, QPalette::HighlightedText) : look.cellTextColor);
    painter->drawText(option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, index.data().toString());
    painter->restore();
}

} // namespace qmr

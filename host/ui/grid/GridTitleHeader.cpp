#include <qmr41726/ui/grid/GridTitleHeader.h>

#include <QPaintEvent>
#include <QPainter>

namespace qmr {

namespace {
constexpr int kTextMargin = 2;
} // namespace

GridTitleHeader::GridTitleHeader(std::shared_ptr<const GridAppearance> look)
    : QHeaderView(Qt::Horizontal), m_look(std::move(look)) {
    setHighlightSections(false);
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setFocusPolicy(Qt::NoFocus);
}

QSize GridTitleHeader::sizeHint() const {
    return {QHeaderView::sizeHint().width(), m_look->titleHeight};
}

void GridTitleHeader::paintEvent(QPaintEvent* event) {
    // Past the last column the title row shows the cells' colour, as the rows below do.
    {
        QPainter painter(viewport());
        painter.fillRect(event->rect(), m_look->cellColor);
    }
    QHeaderView::paintEvent(event);
}

void GridTitleHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid())
        return;
    const GridAppearance& look = *m_look;
    painter->save();
    painter->fillRect(rect, look.titleRowColor);
    painter->setPen(look.lineColor);
    if (look.rowLines)
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    if (look.columnLines)
        painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->setClipRect(rect);
    painter->setFont(look.titleFont);
    painter->setPen(look.titleColor ? look.titleColor(logicalIndex) : QColor(Qt::black));
    const QString title = model() ? model()->headerData(logicalIndex, Qt::Horizontal).toString() : QString();
    painter->drawText(rect.adjusted(kTextMargin, 0, -kTextMargin, 0),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
    painter->restore();
}

} // namespace qmr

#pragma once
// The grid's title row, painted flat in the grid's own colours rather than the style's.

#include <qmr41726/ui/grid/GridAppearance.h>

#include <QHeaderView>

#include <memory>

namespace qmr {

/// A horizontal header that paints each title in the title font and its column's colour on the
/// title-row colour, with the grid's line options.
class GridTitleHeader : public QHeaderView {
public:
    explicit GridTitleHeader(std::shared_ptr<const GridAppearance> look);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    std::shared_ptr<const GridAppearance> m_look;
};

} // namespace qmr

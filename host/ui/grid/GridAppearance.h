#pragma once
// What the grid's painters need to know: fonts, colours, line options and row heights, kept
// by the grid and read by its title header and cell delegate whenever they paint.

#include <QColor>
#include <QFont>

#include <functional>

namespace qmr {

/// The grid's look, shared by the grid and the Qt objects that paint it.
struct GridAppearance {
    QFont cellFont;
    QColor cellTextColor;
    QColor cellColor;
    QFont titleFont;
    QColor titleRowColor;
    /// The title text colour of the column at a model position.
    std::function<QColor(int column)> titleColor;
    QColor lineColor{192, 192, 192};
    int rowHeight = 18;
    int titleHeight = 20;
    bool rowLines = true;
    bool columnLines = false;
    bool rowSelect = false;
    /// The current cell stays highlighted while the grid has no focus.
    bool alwaysShowSelection = false;
};

} // namespace qmr

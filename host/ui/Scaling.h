#pragma once
// Design pixels to screen pixels. Layouts are written in pixels at 96 pixels per inch; a form shown
// at another scale maps every length of its design through these, so that the controls of a
// scaled form still meet edge to edge.

#include <QRect>
#include <QSize>

#include <cmath>

namespace qmr {

/// A design coordinate or length at `scale`, to the nearest pixel.
inline int scaledLength(int length, double scale) {
    return int(std::lround(length * scale));
}

/// A design rectangle at `scale`. Its edges are scaled, not its size, so two rectangles that
/// share an edge in the design share it on the screen too.
inline QRect scaledRect(const QRect& design, double scale) {
    if (scale == 1.0)
        return design;
    const int left = scaledLength(design.x(), scale);
    const int top = scaledLength(design.y(), scale);
    return QRect(left, top, scaledLength(design.x() + design.width(), scale) - left,
                 scaledLength(design.y() + design.height(), scale) - top);
}

inline QSize scaledSize(const QSize& design, double scale) {
    return scaledRect(QRect(QPoint(), design), scale).size();
}

} // namespace qmr

#include "HostIcon.h"

#include <QPainter>
#include <QPixmap>

namespace {

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 128));
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    painter.setBrush(Qt::white);
    for (int line = 0; line < 4; ++line)
        painter.drawRect(QRectF(6, 7 + line * 5, 12, 2));
    painter.setPen(QPen(QColor(128, 0, 128), 3));
    painter.setBrush(QColor(255, 255, 255, 160));
    painter.drawEllipse(QPointF(19, 17), 6, 6);
    painter.drawLine(QPointF(23.5, 21.5), QPointF(28, 26));
    return pixmap;
}

} // namespace

QIcon hostIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(drawIcon(size));
    return icon;
}

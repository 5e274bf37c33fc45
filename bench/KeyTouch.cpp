#include "KeyTouch.h"

#include <qmr41726/ui/controls/TControl.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

void touchKey(qmr::TControl& key) {
    QWidget* widget = key.widget();
    const QPointF centre = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

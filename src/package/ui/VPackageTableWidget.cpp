#include "VPackageTableWidget.h"

#include <QMouseEvent>

void VPackageTableWidget::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseReleasePoint(event->globalPos());
}

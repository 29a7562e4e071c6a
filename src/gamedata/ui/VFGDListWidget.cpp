#include "VFGDListWidget.h"

#include <QKeyEvent>

void VFGDListWidget::keyPressEvent(QKeyEvent *event)
{
    if (!event)
        return;
    switch (event->key()) {
    case Qt::Key_Up:
        emit upArrowPressed();
        break;
    case Qt::Key_Down:
        emit downArrowPressed();
        break;
    // The main Return key only: Enter on the keypad keeps its usual meaning.
    case Qt::Key_Return:
        emit returnPressed();
        break;
    case Qt::Key_Delete:
        emit deletePressed();
        break;
    default:
        QListWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

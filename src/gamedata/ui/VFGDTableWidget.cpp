#include "VFGDTableWidget.h"

#include <QKeyEvent>

VFGDTableWidget::VFGDTableWidget(QWidget *parent)
    : QTableWidget(parent)
{}

VFGDTableWidget::VFGDTableWidget(int rows, int columns, QWidget *parent)
    : QTableWidget(rows, columns, parent)
{}

void VFGDTableWidget::keyPressEvent(QKeyEvent *event)
{
    if (!event)
        return;
    if (event->key() == Qt::Key_Up)
        emit upArrowPressed();
    else if (event->key() == Qt::Key_Down)
        emit downArrowPressed();
    else {
        QTableWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

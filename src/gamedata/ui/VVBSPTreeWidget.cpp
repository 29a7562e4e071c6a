#include "VVBSPTreeWidget.h"

#include "VVBSPTreeWidgetItem.h"

#include <QKeyEvent>

VVBSPTreeWidget::VVBSPTreeWidget(QWidget *parent)
    : QTreeWidget(parent)
{}

void VVBSPTreeWidget::keyPressEvent(QKeyEvent *event)
{
    event->ignore();
    const int key = event->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down) {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    // Holding the key moves the item once.
    auto *item = static_cast<VVBSPTreeWidgetItem *>(currentItem());
    if (event->isAutoRepeat() || !item)
        return;
    QTreeWidgetItem *parent = item->parent();
    const int index = parent ? parent->indexOfChild(item) : indexOfTopLevelItem(item);
    const int count = parent ? parent->childCount() : topLevelItemCount();
    const int target = key == Qt::Key_Up ? index - 1 : index + 1;
    if (target < 0 || target >= count)
        return;
    // Taking an item out of the tree forgets whether it was open.
    const bool expanded = item->isExpanded();
    if (parent) {
        parent->takeChild(index);
        parent->insertChild(target, item);
    } else {
        takeTopLevelItem(index);
        insertTopLevelItem(target, item);
    }
    item->setExpanded(expanded);
    setCurrentItem(item);
    if (key == Qt::Key_Up)
        emit keyUpPressed(item);
    else
        emit keyDownPressed(item);
}

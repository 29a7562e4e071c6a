#pragma once

#include <QTreeWidget>

class VVBSPTreeWidgetItem;

// The detail tree. Up and Down move the current item among its siblings
// instead of moving the selection, and report the move so that the window
// can move the record in the document the same way.
class VVBSPTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit VVBSPTreeWidget(QWidget *parent = nullptr);

signals:
    void keyUpPressed(VVBSPTreeWidgetItem *item);
    void keyDownPressed(VVBSPTreeWidgetItem *item);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

#pragma once

#include <QTableWidget>

// A table whose Up and Down keys are reported as signals instead of moving
// the current cell, so the owner can move rows with them.
class VFGDTableWidget : public QTableWidget
{
    Q_OBJECT

public:
    explicit VFGDTableWidget(QWidget *parent = nullptr);
    VFGDTableWidget(int rows, int columns, QWidget *parent = nullptr);

signals:
    void upArrowPressed();
    void downArrowPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

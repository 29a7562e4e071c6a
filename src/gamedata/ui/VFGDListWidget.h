#pragma once

#include <QListWidget>

// A list whose Up, Down, Return and Delete keys are reported as signals and
// go no further (they neither move the current row nor start editing).
class VFGDListWidget : public QListWidget
{
    Q_OBJECT

public:
    using QListWidget::QListWidget;

signals:
    void upArrowPressed();
    void downArrowPressed();
    void returnPressed();
    void deletePressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

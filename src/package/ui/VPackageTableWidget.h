#pragma once

#include <QPoint>
#include <QTableWidget>

// The package viewer's entry table. A mouse release is reported with its
// screen position (the hook for dragging rows out of the window) instead of
// going to the table's own release handling.
class VPackageTableWidget : public QTableWidget
{
    Q_OBJECT

public:
    using QTableWidget::QTableWidget;

signals:
    void mouseReleasePoint(const QPoint &globalPosition);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

#pragma once

#include <QPoint>
#include <QTableView>

// The package viewer's entry table, a view over a VPackageTableModel. A
// mouse release is reported with its screen position (the hook for dragging
// rows out of the window) instead of going to the table's own release
// handling.
class VPackageTableWidget : public QTableView
{
    Q_OBJECT

public:
    using QTableView::QTableView;

signals:
    void mouseReleasePoint(const QPoint &globalPosition);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

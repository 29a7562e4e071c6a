#include "VTableRowColor.h"

#include <QBrush>
#include <QColor>
#include <QTableWidget>

void paintTableRow(QTableWidgetItem *item, const QColor &background, int row)
{
    QTableWidget *table = item ? item->tableWidget() : nullptr;
    if (!table)
        return;
    if (row < 0 || table->item(row, item->column()) != item)
        row = item->row();
    for (int column = 0; column < table->columnCount(); ++column) {
        if (QTableWidgetItem *cell = table->item(row, column))
            cell->setBackground(background);
    }
}

#include "VTableRowColor.h"

#include <QBrush>
#include <QColor>
#include <QTableWidget>

void paintTableRow(QTableWidgetItem *item, const QColor &background)
{
    QTableWidget *table = item ? item->tableWidget() : nullptr;
    if (!table)
        return;
    const int row = item->row();
    for (int column = 0; column < table->columnCount(); ++column) {
        if (QTableWidgetItem *cell = table->item(row, column))
            cell->setBackground(background);
    }
}

#pragma once

class QColor;
class QTableWidgetItem;

// Gives every cell of the item's row the background colour; black text stays
// readable on the light colours the pakfile tables use. Nothing happens for
// an item outside a table.
void paintTableRow(QTableWidgetItem *item, const QColor &background);

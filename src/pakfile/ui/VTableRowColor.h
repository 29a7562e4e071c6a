#pragma once

class QColor;
class QTableWidgetItem;

// Gives every cell of the item's row the background colour; black text stays
// readable on the light colours the pakfile tables use. Nothing happens for
// an item outside a table. Callers that know the row pass it: after a sort,
// the table finds an item's row only by searching all its items.
void paintTableRow(QTableWidgetItem *item, const QColor &background, int row = -1);

#include "VScanTableWidgetItem.h"

#include "VTableRowColor.h"

#include <QFileInfo>
#include <QTableWidget>

VScanTableWidgetItem::VScanTableWidgetItem(const QString &text, CPackageHierarchyNode *entry,
                                           const QString *scanDirectory)
    : QTableWidgetItem(text)
    , node(entry)
    , baseDirectory(scanDirectory)
{}

bool VScanTableWidgetItem::fileExists() const
{
    QTableWidget *table = tableWidget();
    // Without a game folder the path would be looked up from the root of the
    // file system.
    if (!baseDirectory || baseDirectory->isEmpty() || !table)
        return false;
    const QTableWidgetItem *folder = table->item(row(), 1);
    // Doubled separators are harmless to the file system.
    const QString path = *baseDirectory + QLatin1Char('/') + (folder ? folder->text() : QString()) +
                         QLatin1Char('/') + text();
    return QFileInfo(path).isFile();
}

QColor VScanTableWidgetItem::color(bool exists, bool isMarked, bool packed)
{
    if (!exists)
        return packed ? QColor(192, 192, 255) : QColor(255, 192, 192);
    if (isMarked)
        return packed ? QColor(255, 255, 192) : QColor(192, 255, 192);
    return packed ? QColor(192, 255, 255) : QColor(255, 224, 192);
}

void VScanTableWidgetItem::updateColor()
{
    paintTableRow(this, color(fileExists(), marked, node != nullptr));
}

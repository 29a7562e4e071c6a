#include "VMassListWidgetItem.h"

VMassListWidgetItem::VMassListWidgetItem(const QString &filePath, const QString &relative,
                                         QListWidget *list)
    : QListWidgetItem(relative.isEmpty()
                          ? filePath
                          : QStringLiteral(".../") + relative + QStringLiteral(".vmt"),
                      list)
    , path(filePath)
    , relativePath(relative)
{
    setToolTip(filePath);
}

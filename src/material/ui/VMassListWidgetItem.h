#pragma once

#include <QListWidgetItem>
#include <QString>

// One script of the bulk material editor's list. The path is its identity;
// the relative path (below "materials", without extension) is what an
// asterisk in a parameter value stands for.
class VMassListWidgetItem : public QListWidgetItem
{
public:
    VMassListWidgetItem(const QString &path, const QString &relativePath,
                        QListWidget *list = nullptr);

    QString path;
    QString relativePath;
};

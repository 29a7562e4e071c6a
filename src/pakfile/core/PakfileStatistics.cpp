#include "PakfileStatistics.h"

#include <QHash>

namespace PakfileStatistics {

const QStringList &labels()
{
    static const QStringList list = {
        QStringLiteral("Material:"),
        QStringLiteral("Texture:"),
        QStringLiteral("Texture (HDR):"),
        QStringLiteral("Model:"),
        QStringLiteral("Animation:"),
        QStringLiteral("Vertex:"),
        QStringLiteral("Collision:"),
        QStringLiteral("Mesh:"),
        QStringLiteral("Mesh (Software):"),
        QStringLiteral("Mesh (DX8):"),
        QStringLiteral("Mesh (DX9):"),
        QStringLiteral("Mesh (XBox):"),
        QStringLiteral("Sound:"),
        QStringLiteral("Prop Data:"),
        QStringLiteral("Particle Cache:"),
        QStringLiteral("Dictionary:"),
        QStringLiteral("Text:"),
        QStringLiteral("Faceposer Scene:"),
        QStringLiteral("Other:"),
    };
    return list;
}

QVector<int> count(const QStringList &typeNames)
{
    const QStringList &rows = labels();
    QHash<QString, int> rowOf;
    for (int i = 0; i < rows.size(); ++i)
        rowOf.insert(rows[i].chopped(1), i);
    const int other = rows.size() - 1;
    QVector<int> counts(rows.size(), 0);
    for (const QString &type : typeNames)
        ++counts[rowOf.value(type, other)];
    return counts;
}

} // namespace PakfileStatistics

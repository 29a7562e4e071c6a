#include "PakfileAddPaths.h"

#include "functions.h"

#include <QRegularExpression>

namespace PakfileAddPaths {

QStringList components(const QString &localPath)
{
    static const QRegularExpression separator(QStringLiteral("\\\\|/"));
    QStringList parts = localPath.split(separator, Qt::SkipEmptyParts);
    const bool rooted =
        localPath.startsWith(QLatin1Char('/')) || localPath.startsWith(QLatin1Char('\\'));
    if (!rooted && !parts.isEmpty())
        parts.removeFirst();
    return parts;
}

QStringList choices(const QStringList &localPaths)
{
    if (localPaths.isEmpty())
        return {};
    QStringList parts = components(localPaths.first());
    if (localPaths.size() > 1 && !parts.isEmpty())
        parts.last() = QLatin1String(Different);
    return parts;
}

QString pathFromChoice(const QString &localPath, int row)
{
    const QStringList parts = components(localPath);
    // Files of one dialog share their folder; a shorter path still keeps its
    // own name.
    const int from = qBound(0, row, qMax(0, parts.size() - 1));
    return QLatin1Char('/') + parts.mid(from).join(QLatin1Char('/'));
}

QString pathUnderFolder(const QString &localPath, const QString &typedFolder)
{
    QString folder = typedFolder;
    trimPath(folder);
    // trimPath keeps the "/" of an absolute path: the pakfile has no other root.
    while (folder.startsWith(QLatin1Char('/')))
        folder.remove(0, 1);
    const QStringList parts = components(localPath);
    const QString name = parts.isEmpty() ? QString() : parts.last();
    return folder.isEmpty() ? QLatin1Char('/') + name
                            : QLatin1Char('/') + folder + QLatin1Char('/') + name;
}

QString localDirectory(const QString &localPath)
{
    const int cut =
        qMax(localPath.lastIndexOf(QLatin1Char('/')), localPath.lastIndexOf(QLatin1Char('\\')));
    return cut < 0 ? QString() : localPath.left(cut);
}

} // namespace PakfileAddPaths

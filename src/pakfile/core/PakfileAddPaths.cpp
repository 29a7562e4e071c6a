#include "PakfileAddPaths.h"

#include <QRegularExpression>

namespace PakfileAddPaths {

QStringList components(const QString &localPath)
{
    static const QRegularExpression separators(QStringLiteral("\\\\|/"));
    const bool drive =
        localPath.size() >= 2 && localPath.at(1) == QLatin1Char(':') && localPath.at(0).isLetter();
    if (!drive && !localPath.startsWith(QLatin1Char('\\')))
        return localPath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList parts = localPath.split(separators, Qt::SkipEmptyParts);
    if (drive)
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
    return parts.mid(from).join(QLatin1Char('/'));
}

QString pathUnderFolder(const QString &localPath, const QString &typedFolder)
{
    QString folder = typedFolder;
    if (folder.startsWith(QLatin1Char('/')))
        folder.remove(0, 1);
    if (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    const QStringList parts = components(localPath);
    const QString name = parts.isEmpty() ? QString() : parts.last();
    return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
}

QString localDirectory(const QString &localPath)
{
    const int cut =
        qMax(localPath.lastIndexOf(QLatin1Char('/')), localPath.lastIndexOf(QLatin1Char('\\')));
    return cut < 0 ? QString() : localPath.left(cut);
}

} // namespace PakfileAddPaths

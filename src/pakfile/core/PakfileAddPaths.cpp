#include "PakfileAddPaths.h"

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
    // Separators and white space off both ends: the pakfile has one root.
    const auto edge = [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('\\') || c.isSpace();
    };
    int from = 0;
    int to = typedFolder.size();
    while (from < to && edge(typedFolder.at(from)))
        ++from;
    while (to > from && edge(typedFolder.at(to - 1)))
        --to;
    const QString folder = typedFolder.mid(from, to - from);
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

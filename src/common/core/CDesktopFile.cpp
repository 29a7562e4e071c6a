#include "CDesktopFile.h"

#include <QDesktopServices>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>

namespace {
CDesktopFile::Opener &openerOverride()
{
    static CDesktopFile::Opener opener;
    return opener;
}

// The "key=value" lines of one group of a desktop-entry style file, handed
// to `take` with the key and the value's ";"-separated parts.
void readGroup(const QString &path, const QString &group,
               const std::function<void(const QString &, const QStringList &)> &take)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == header;
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (!inGroup || equals <= 0 || line.startsWith(QLatin1Char('#')))
            continue;
        take(line.left(equals).trimmed(),
             line.mid(equals + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts));
    }
}
} // namespace

void CDesktopFile::setOpener(Opener opener)
{
    openerOverride() = std::move(opener);
}

CDesktopFile::Result CDesktopFile::open(const QString &path)
{
    if (path.isEmpty())
        return NoFile;
    const QFileInfo info(path);
    if (!info.isFile())
        return NoFile;
    const QString absolutePath = info.absoluteFilePath();
    if (!hasApplication(absolutePath))
        return NoApplication;
    const Opener &opener = openerOverride();
    const bool opened = opener ? opener(absolutePath)
                               : QDesktopServices::openUrl(QUrl::fromLocalFile(absolutePath));
    return opened ? Opened : NotOpened;
}

bool CDesktopFile::hasApplication(const QString &absolutePath)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
    const QMimeType type = QMimeDatabase().mimeTypeForFile(absolutePath);
    QStringList names{type.name()};
    names << type.aliases() << type.allAncestors();
    return !associations(names).isEmpty();
#else
    Q_UNUSED(absolutePath)
    return true;
#endif
}

QStringList CDesktopFile::associations(const QStringList &mimeTypes)
{
    const QSet<QString> wanted(mimeTypes.cbegin(), mimeTypes.cend());
    QStringList found;
    const auto collect = [&](const QString &key, const QStringList &values) {
        if (wanted.contains(key))
            found << values;
    };
    const auto listsMimeType = [&](const QString &key, const QStringList &values) {
        if (key != QLatin1String("MimeType"))
            return;
        for (const QString &value : values) {
            if (wanted.contains(value))
                found << value;
        }
    };

    // User settings first, then the system's; every place counts, as any
    // association is enough.
    QStringList lists;
    for (const QString &folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        lists << folder + QStringLiteral("/mimeapps.list");
    const QStringList applicationFolders =
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString &folder : applicationFolders)
        lists << folder + QStringLiteral("/mimeapps.list");
    for (const QString &list : qAsConst(lists)) {
        readGroup(list, QStringLiteral("Default Applications"), collect);
        readGroup(list, QStringLiteral("Added Associations"), collect);
    }
    if (!found.isEmpty())
        return found;

    for (const QString &folder : applicationFolders) {
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext() && found.isEmpty())
            readGroup(it.next(), QStringLiteral("Desktop Entry"), listsMimeType);
        if (!found.isEmpty())
            break;
    }
    return found;
}

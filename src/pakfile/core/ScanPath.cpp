#include "ScanPath.h"

#include "CPath.h"
#include "CScanFoundList.h"
#include "CScanRecord.h"
#include "PakfileErrors.h"
#include "functions.h"

#include <QFile>
#include <QFileInfo>
#include <QVector>

namespace ScanPath {

QString textBeforeNul(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromLatin1(nul < 0 ? bytes : bytes.left(nul));
}

void clean(QString &path)
{
    normalizePath(path);
    // normalizePath keeps the "/" of an absolute path; a value from a file
    // names something below the game folder.
    if (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
}

void clean(QByteArray &path)
{
    QString text = textBeforeNul(path);
    clean(text);
    path = text.toLatin1();
}

QString collapsed(const QString &path)
{
    QString text = path;
    collapseSeparators(text);
    if (text.startsWith(QLatin1Char('/')))
        text.remove(0, 1);
    return text;
}

bool isFollowable(const QString &path)
{
    // CPath splits at "|" as well, so it counts as a separator here too.
    QString text = path;
    text.replace(QLatin1Char('\\'), QLatin1Char('/')).replace(QLatin1Char('|'), QLatin1Char('/'));
    if (text.isEmpty() || text.startsWith(QLatin1Char('/')))
        return false;
    if (text.size() >= 2 && text.at(1) == QLatin1Char(':') && text.at(0).isLetter())
        return false;
    const QVector<QStringRef> parts = text.splitRef(QLatin1Char('/'));
    for (const QStringRef &part : parts) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..") ||
            part.contains(QChar(0)))
            return false;
    }
    return true;
}

QString resolved(const QString &path, const QString &baseDirectory, CDirectoryListings &listings)
{
    if (baseDirectory.isEmpty())
        return path;
    const CPath onDisk = CPath(path, true).resolve(baseDirectory, false, listings);
    return onDisk.isEmpty() ? path : onDisk.toString();
}

QString admit(const QString &path, const CScanFoundList &found, const QString &baseDirectory,
              QStringList *errors)
{
    if (!isFollowable(path)) {
        log(errors, PakfileError::UnsafePath, path);
        return QString();
    }
    if (found.contains(path))
        return QString();
    return resolved(path, baseDirectory, found.listings());
}

bool isFileBelow(const QString &baseDirectory, const QString &entry)
{
    return !baseDirectory.isEmpty() && QFileInfo(baseDirectory + entry).isFile();
}

void log(QStringList *errors, const char *text, const QString &entry)
{
    if (errors)
        errors->append(QString::fromLatin1(text).arg(entry));
}

bool readWhole(const QString &path, QByteArray &bytes)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (size > MaxScriptBytes)
        return false;
    bytes = file.read(size);
    return bytes.size() == size;
}

} // namespace ScanPath

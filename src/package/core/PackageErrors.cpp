#include "PackageErrors.h"

#include "functions.h"

#include <QBuffer>
#include <QFileDevice>

namespace PackageErrors {

QString unableToCreateLeaf(const QString &path)
{
    return QStringLiteral("Delegate Error: Unable to create leaf at \"%1\"").arg(path);
}

QString invalidName(const QString &name)
{
    return QStringLiteral("Request Error: Invalid name \"%1\".").arg(name);
}

QString unableToRename(const QString &path, const QString &name)
{
    return QStringLiteral("Delegate Error: Unable to rename \"%1\" to \"%2\"").arg(path, name);
}

QString unlistedWarnings(int count)
{
    return QStringLiteral("Package Warning: %1 further warnings are not listed").arg(count);
}

QString withReason(const QString &text, const QString &reason)
{
    return reason.isEmpty() ? text : text + QStringLiteral(" (%1)").arg(reason);
}

QString folderClash(const char *kind, const QString &path)
{
    return QStringLiteral("%1 Warning: \"%2\" clashes with a file or folder of the same path and "
                          "is left out")
        .arg(QLatin1String(kind), path);
}

QString unsafePaths(int count, const QStringList &named)
{
    QStringList quoted;
    for (const QString &name : named)
        quoted.append(QLatin1Char('"') + name + QLatin1Char('"'));
    QString list = quoted.join(QStringLiteral(", "));
    if (count > named.size())
        list += QStringLiteral(" and %1 more").arg(count - named.size());
    const QString what =
        count == 1 ? QStringLiteral("1 file is left out because its path")
                   : QStringLiteral("%1 files are left out because their paths").arg(count);
    return QStringLiteral("Package Warning: %1 cannot be extracted safely: %2").arg(what, list);
}

QString shortWrite(qint64 missing, qint64 total, const QString &reason)
{
    const QString text =
        QString::fromLatin1(DeviceError::ShortWrite).arg(quint64(missing)).arg(quint64(total));
    return withReason(text, reason);
}

QString deviceReason(const QIODevice *device)
{
    if (const auto *file = qobject_cast<const QFileDevice *>(device))
        return file->error() == QFileDevice::NoError ? QString() : file->errorString();
    // A device that never set a reason answers with this text.
    static const QString unset = QBuffer().errorString();
    const QString reason = device ? device->errorString() : QString();
    return reason == unset ? QString() : reason;
}

namespace Bsp {

QString lumpOutsideFile(int lump)
{
    return QStringLiteral("Read Error: Lump %1 lies outside the file").arg(lump);
}

QString entryOutsidePakfile(const QString &name)
{
    return QStringLiteral("Read Error: Data of pakfile file \"%1\" lies outside the pakfile")
        .arg(name);
}

QString overlappingEntry(const QString &name)
{
    return QStringLiteral("Read Error: Pakfile file \"%1\" shares its bytes with another file")
        .arg(name);
}

QString compressedEntry(const QString &name, int method)
{
    QString how;
    switch (method) {
    case 8:
        how = QStringLiteral("deflate");
        break;
    case 9:
        how = QStringLiteral("deflate64");
        break;
    case 12:
        how = QStringLiteral("bzip2");
        break;
    case 14:
        how = QStringLiteral("LZMA");
        break;
    default:
        how = QStringLiteral("method %1").arg(method);
        break;
    }
    return QStringLiteral("Read Error: Pakfile file \"%1\" is compressed (%2) and cannot be read")
        .arg(name, how);
}

QString hiddenPakfileFile(const QString &dropped, const QString &kept)
{
    return QStringLiteral("Pakfile Warning: \"%1\" is hidden by \"%2\", which has the same path")
        .arg(dropped, kept);
}

QString nestedTooDeeply(const QString &name)
{
    return QStringLiteral("Pakfile Warning: \"%1\" is nested too deeply and is left out").arg(name);
}

QString headersDisagree(const QString &name)
{
    return QStringLiteral("Pakfile Warning: \"%1\" has a local header that disagrees with its "
                          "directory entry on how it is stored, and is left out")
        .arg(name);
}

QString lumpWrite(int lump, const QString &name, const QString &error)
{
    return QStringLiteral("Write Error: Unable to write lump %1 (%2)\n%3")
        .arg(lump)
        .arg(name, error);
}

QString readBack(const QString &error)
{
    return QStringLiteral("Write Error: New map does not read back\n%1").arg(error);
}

QString gameLumpOutside(int index)
{
    return QStringLiteral("Read Error: Game lump %1 lies outside lump 35").arg(index);
}

QString temporaryOpen(const QString &folder, const QString &reason)
{
    return withReason(QString::fromLatin1(TemporaryOpen) +
                          QStringLiteral(" in the folder \"%1\"").arg(folder),
                      reason);
}

QString swapFailed(const QString &reason, bool reopened)
{
    const QString swap = withReason(QString::fromLatin1(SwapUndone), reason);
    if (reopened)
        return swap;
    const QString lost = QString::fromLatin1(SwapFailed);
    return swap + lost.mid(lost.indexOf(QLatin1Char('\n')));
}

QString backupFailed(const QString &backup, const QString &reason)
{
    return QStringLiteral("File Error: Unable to make the backup \"%1\" (%2)").arg(backup, reason);
}

static QString lumpList(const QVector<int> &lumps)
{
    QStringList numbers;
    for (int lump : lumps)
        numbers << QString::number(lump);
    return numbers.join(QStringLiteral(", "));
}

QString cutLumps(const QVector<int> &lumps, const QStringList &unread)
{
    const bool one = lumps.size() == 1;
    QStringList lines(QStringLiteral("Map Warning: The map file is cut short inside lump%1 %2; %3 "
                                     "read up to its end, and the map cannot be saved")
                          .arg(one ? QString() : QStringLiteral("s"), lumpList(lumps),
                               one ? QStringLiteral("it is") : QStringLiteral("they are")));
    lines += unread;
    return lines.join(QLatin1Char('\n'));
}

QString cutMapNotSaved(const QVector<int> &lumps)
{
    return QStringLiteral("Delegate Error: The map file is cut short inside lump%1 %2 and cannot "
                          "be saved")
        .arg(lumps.size() == 1 ? QString() : QStringLiteral("s"), lumpList(lumps));
}

QString notLatin1(const QString &path)
{
    return QStringLiteral("Delegate Error: Pakfile path \"%1\" has characters outside Latin-1, "
                          "which a pakfile name cannot hold")
        .arg(path);
}

QString texdataStringMissing(int index)
{
    return QStringLiteral("Delegate Error: Texture name table refers to string %1, which the new "
                          "list does not have")
        .arg(index);
}

QString referencedOpen(const QString &local, const QString &path)
{
    return QStringLiteral("File Error: Unable to open \"%1\" referenced by \"%2\"")
        .arg(local, path);
}

QString referencedRead(const QString &local, const QString &path)
{
    return QStringLiteral("Read Error: Incomplete read of \"%1\" referenced by \"%2\"")
        .arg(local, path);
}

QString pakfileRead(const QString &path, const QString &error)
{
    return QStringLiteral("Read Error: Unable to read pakfile file \"%1\"\n%2").arg(path, error);
}

QString localEntryWrite(const QString &path)
{
    return QStringLiteral("Write Error: Incomplete write of local directory entry for \"%1\"")
        .arg(path);
}

QString centralEntryWrite(const QString &path)
{
    return QStringLiteral(
               "Write Error: Incomplete write of pakfile central directory entry for \"%1\"")
        .arg(path);
}

QString nameTooLong(const QString &path)
{
    return QStringLiteral("Write Error: Pakfile file name too long for \"%1\"").arg(path);
}

} // namespace Bsp
} // namespace PackageErrors

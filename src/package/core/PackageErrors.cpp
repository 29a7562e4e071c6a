#include "PackageErrors.h"

namespace PackageErrors {

QString unableToCreateLeaf(const QString &path)
{
    return QStringLiteral("Delegate Error: Unable to create leaf at \"%1\"").arg(path);
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

QString pakfileNode(const QString &name)
{
    return QStringLiteral("Delegate Error: Unable to create pakfile node for \"%1\"").arg(name);
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

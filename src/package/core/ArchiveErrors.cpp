#include "ArchiveErrors.h"

namespace ArchiveErrors {

QString tableOutsideFile(const QString &table)
{
    return QStringLiteral("Read Error: %1 table does not fit in the file").arg(table);
}

QString parentOutOfRange(quint32 item)
{
    return QStringLiteral("Delegate Error: Parent index of item %1 is out of range").arg(item);
}

QString entryEncrypted(int index)
{
    return QStringLiteral("Read Error: Entry %1 is encrypted").arg(index);
}

QString blockChainLoops(int index)
{
    return QStringLiteral("Read Error: Block chain of entry %1 loops").arg(index);
}

QString blockOutOfRange(int index, quint32 block)
{
    return QStringLiteral("Read Error: Block %1 of entry %2 is out of range").arg(block).arg(index);
}

QString vpkDataArchive(const QString &name, const QString &directory)
{
    return QStringLiteral("File Error: \"%1\" is a data archive; open its directory file \"%2\"")
        .arg(name, directory);
}

} // namespace ArchiveErrors

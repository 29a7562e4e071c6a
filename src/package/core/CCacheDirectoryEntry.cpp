#include "CCacheDirectoryEntry.h"

#include <QtEndian>

CCacheDirectoryEntry CCacheDirectoryEntry::fromBytes(const uchar *record)
{
    CCacheDirectoryEntry e;
    e.nameOffset = qFromLittleEndian<quint32>(record);
    e.itemSize = qFromLittleEndian<quint32>(record + 4);
    e.checksumIndex = qFromLittleEndian<quint32>(record + 8);
    e.directoryFlags = qFromLittleEndian<quint32>(record + 12);
    e.parentIndex = qFromLittleEndian<quint32>(record + 16);
    e.nextIndex = qFromLittleEndian<quint32>(record + 20);
    e.firstIndex = qFromLittleEndian<quint32>(record + 24);
    return e;
}

#include "CCacheBlockEntry.h"

#include <QtEndian>

CCacheBlockEntry CCacheBlockEntry::fromBytes(const uchar *record)
{
    CCacheBlockEntry e;
    e.entryFlags = qFromLittleEndian<quint32>(record);
    e.dataOffset = qFromLittleEndian<quint32>(record + 4);
    e.dataSize = qFromLittleEndian<quint32>(record + 8);
    e.firstDataBlock = qFromLittleEndian<quint32>(record + 12);
    e.nextBlockEntry = qFromLittleEndian<quint32>(record + 16);
    e.previousBlockEntry = qFromLittleEndian<quint32>(record + 20);
    e.directoryIndex = qFromLittleEndian<quint32>(record + 24);
    return e;
}

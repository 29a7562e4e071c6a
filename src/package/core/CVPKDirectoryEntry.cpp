#include "CVPKDirectoryEntry.h"

#include "CBinaryReader.h"

#include <QtEndian>

bool CVPKDirectoryEntry::read(CBinaryReader &reader)
{
    crc = reader.u32();
    preloadCount = reader.u16();
    archiveIndex = reader.u16();
    offset = reader.u32();
    length = reader.u32();
    terminator = reader.u16();
    if (preloadCount != 0)
        preloadData = reader.bytes(preloadCount);
    return reader.ok();
}

int CVPKDirectoryEntry::readFixed(const char *record)
{
    crc = qFromLittleEndian<quint32>(record);
    preloadCount = qFromLittleEndian<quint16>(record + 4);
    archiveIndex = qFromLittleEndian<quint16>(record + 6);
    offset = qFromLittleEndian<quint32>(record + 8);
    length = qFromLittleEndian<quint32>(record + 12);
    terminator = qFromLittleEndian<quint16>(record + 16);
    return preloadCount;
}

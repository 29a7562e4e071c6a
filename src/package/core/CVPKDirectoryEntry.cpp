#include "CVPKDirectoryEntry.h"

#include "CBinaryReader.h"

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

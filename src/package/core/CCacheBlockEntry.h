#pragma once

#include <QtGlobal>

// One block entry of a GCF file: a run of a file's data whose blocks are
// chained through the fragmentation map from firstDataBlock on. A file with
// several entries links them through nextBlockEntry; a value not below the
// block count ends that list.
class CCacheBlockEntry
{
public:
    static constexpr int RecordSize = 28;

    // Decodes one little-endian record of RecordSize bytes.
    static CCacheBlockEntry fromBytes(const uchar *record);

    quint32 entryFlags = 0;
    quint32 dataOffset = 0;
    quint32 dataSize = 0;
    quint32 firstDataBlock = 0;
    quint32 nextBlockEntry = 0;
    quint32 previousBlockEntry = 0;
    quint32 directoryIndex = 0;
};

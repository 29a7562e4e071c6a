#pragma once

#include <QtGlobal>

// One item of a GCF/NCF directory: a folder (flags 0) or a file.
class CCacheDirectoryEntry
{
public:
    static constexpr int RecordSize = 28;
    // parentIndex of the root item.
    static constexpr quint32 NoParent = 0xFFFFFFFF;
    // A parent carrying this flag cannot hold children.
    static constexpr quint32 LeafFlag = 0x4000;
    // The file's blocks are encrypted; its bytes are not plain data.
    static constexpr quint32 EncryptedFlag = 0x100;

    // Decodes one little-endian record of RecordSize bytes.
    static CCacheDirectoryEntry fromBytes(const uchar *record);

    bool isFolder() const { return directoryFlags == 0; }
    bool isEncrypted() const { return (directoryFlags & EncryptedFlag) != 0; }

    quint32 nameOffset = 0;
    quint32 itemSize = 0;
    quint32 checksumIndex = 0;
    quint32 directoryFlags = 0;
    quint32 parentIndex = 0;
    quint32 nextIndex = 0;
    quint32 firstIndex = 0;
};

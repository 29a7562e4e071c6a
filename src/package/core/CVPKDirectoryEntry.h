#pragma once

#include <QByteArray>
#include <QString>

class CBinaryReader;

// One file record of a VPK directory tree.
class CVPKDirectoryEntry
{
public:
    // Archive index of data stored in the directory file itself, after the tree.
    static constexpr quint16 DirectoryArchive = 0x7FFF;
    // Bytes of the fixed part of a record, after its name.
    static constexpr int RecordSize = 18;

    // Reads the fixed part of a record and its preload bytes. False (the
    // reader failed) when the record or its preload bytes run past the end.
    bool read(CBinaryReader &reader);
    // Takes the fixed part from RecordSize bytes; returns the number of
    // preload bytes that follow.
    int readFixed(const char *record);

    bool isInDirectoryFile() const { return archiveIndex == DirectoryArchive; }
    // Preload bytes plus archive bytes.
    qint64 totalSize() const { return qint64(preloadCount) + qint64(length); }

    quint32 crc = 0;
    quint16 preloadCount = 0;
    quint16 archiveIndex = 0;
    quint32 offset = 0;
    quint32 length = 0;
    // Kept as read; nothing relies on its value.
    quint16 terminator = 0;
    // Folder inside the package ("" at the top).
    QString path;
    // Name, and "." plus the extension when there is one.
    QString fileName;
    QByteArray preloadData;
};

#pragma once

#include "IPackageDelegate.h"

#include <QPair>
#include <QVector>

class CBinaryReader;
class CCacheDirectoryEntry;

// Package delegate for NCF cache files, which hold a directory (names, sizes,
// flags, tree links) and no file data. Entry index i is directory item i;
// folders have indices too. The file is closed again once its directory is
// read. Read-only: flush() fails.
//
// The GCF delegate derives from it and shares the directory reading and the
// tree building.
class CDelegateNCF : public IPackageDelegate
{
    Q_OBJECT

public:
    static constexpr int FileHeaderValues = 11;
    static constexpr int DirectoryHeaderValues = 14;

    explicit CDelegateNCF(QObject *parent = nullptr);
    ~CDelegateNCF() override;

    using IPackageDelegate::sizeOnDisk;
    using IPackageDelegate::storedSize;
    using IPackageDelegate::writeStored;

    bool open(const QString &path, bool readOnly) override;
    void close() override {}
    // The file is never kept open.
    bool isOpen() const override { return false; }
    int type() const override { return 3; }
    bool flush(FlushSyncronizer *syncronizer) override;
    // An item of the directory whose node is a file.
    bool hasFile(int index) const override;
    int storedSize(int index) const override;
    int sizeOnDisk(int index) const override;
    bool writeStored(QIODevice *device, int index) override;
    // Items whose name is missing, longer than MaxNameLength, unusable as a
    // file name or taken by a sibling (ignoring case), whose parent is a file,
    // whose parent chain never reaches the root, or that sit deeper than
    // MaxTreeDepth, are left out together with everything below them; their
    // node table slots are empty.
    bool buildHierarchy() override;

    // Longest name an item may have: what file systems take for one name.
    // Items may share name bytes, so a longer one could make every item cost
    // the whole name table.
    static constexpr int MaxNameLength = 255;

    // The NUL-ended name at offset in the name table; empty outside it, and
    // for a name longer than MaxNameLength bytes.
    QString itemName(quint32 offset) const;

    const QVector<CCacheDirectoryEntry *> &directoryEntries() const { return m_directoryEntries; }
    quint32 fileHeader(int index) const;
    quint32 directoryHeader(int index) const;
    int itemCount() const { return m_directoryEntries.size(); }

protected:
    // Drops everything read by an earlier open.
    void clearDirectory();
    // Reads from the directory header to the checksums; sets the error text
    // and returns false on the first part that does not fit.
    bool readDirectory(CBinaryReader &reader);
    // count little-endian values after checking they fit in what is left;
    // otherwise the error names `table`.
    bool readValues(CBinaryReader &reader, quint64 count, QVector<quint32> &out, const char *table);
    bool readHeader(CBinaryReader &reader, quint32 *values, int count);

    quint32 m_fileHeader[FileHeaderValues] = {};
    quint32 m_directoryHeader[DirectoryHeaderValues] = {};
    QVector<CCacheDirectoryEntry *> m_directoryEntries;
    QByteArray m_names;
    QVector<quint32> m_infoEntries;
    QVector<quint32> m_itemInfoEntries;
    QVector<quint32> m_copyEntries;
    QVector<quint32> m_localEntries;
    quint32 m_directoryMapHeader[2] = {};
    // Per item: index of its first block entry (GCF).
    QVector<quint32> m_directoryMap;
    quint32 m_checksumHeader[2] = {};
    quint32 m_checksumMapHeader[4] = {};
    QVector<QPair<quint32, quint32>> m_checksumMap;
    // The checksums followed by the 128-byte signature block.
    QVector<quint32> m_checksums;
};

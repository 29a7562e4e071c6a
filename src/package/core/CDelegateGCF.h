#pragma once

#include "CCacheBlockEntry.h"
#include "CDelegateNCF.h"

#include <QPair>
#include <QVector>

// Package delegate for GCF cache files: the NCF directory plus a block
// allocation table, a fragmentation map chaining each file's data blocks,
// and the blocks themselves. Copies a file's bytes out by following its block
// entries and their block chains, and measures how fragmented a file or folder
// is. The file stays open while the package is. Read-only: flush() fails.
class CDelegateGCF : public CDelegateNCF
{
    Q_OBJECT

public:
    explicit CDelegateGCF(QObject *parent = nullptr);
    ~CDelegateGCF() override;

    using IPackageDelegate::sizeOnDisk;
    using IPackageDelegate::storedSize;
    using IPackageDelegate::writeStored;

    bool open(const QString &path, bool readOnly) override;
    void close() override;
    bool isOpen() const override { return m_file.isOpen(); }
    int type() const override { return 2; }
    // The current size rounded up to whole blocks.
    int sizeOnDisk(int index) const override;
    // Exactly the item's size in bytes, gathered from every block entry of the
    // file; a chain that loops, leaves the block table or ends early fails.
    bool writeStored(QIODevice *device, int index) override;

    // {fragments, blocks} of a file: blocks it occupies, and breaks in its
    // chain where the next block is not the one right after. {0, 0} for
    // anything else.
    QPair<int, int> blockFragments(CPackageHierarchyNode *node);
    // Fragments per block as a percentage; for a folder, of the sums over
    // every file below it that has stored data.
    float fragmentation(CPackageHierarchyNode *node);
    float fragmentation(int index);
    // The node at path, file or folder; 0 when there is none.
    float fragmentation(const QString &path);

    quint32 blockSize() const { return m_fileHeader[8]; }
    quint32 blockCount() const { return m_fileHeader[9]; }
    // The value that ends a block chain.
    quint32 terminator() const { return m_fragmentationMapHeader[2] == 0 ? 0xFFFFu : 0xFFFFFFFFu; }
    const QVector<CCacheBlockEntry> &blockEntries() const { return m_blockEntries; }
    const QVector<quint32> &fragmentationMap() const { return m_fragmentationMap; }
    // File offset of data block 0.
    quint32 dataOffset() const { return m_dataBlockHeader[3]; }

private:
    void clearBlocks();

    quint32 m_blockEntryHeader[8] = {};
    QVector<CCacheBlockEntry> m_blockEntries;
    quint32 m_fragmentationMapHeader[4] = {};
    QVector<quint32> m_fragmentationMap;
    quint32 m_dataBlockHeader[6] = {};
};

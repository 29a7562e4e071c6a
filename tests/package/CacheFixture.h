#pragma once

#include "ByteBuilder.h"

#include <QByteArray>
#include <QVector>

// Hand-built GCF and NCF cache files.
//
// Items are listed in directory order; item 0 is normally the root (parent
// NoParent, empty name). A GCF file's data sits in the blocks its segments
// name: each segment is one block entry whose chain runs through the listed
// blocks in order. Every segment but the last is filled completely.
struct CacheItem
{
    QByteArray name;
    quint32 flags = 0; // 0: folder
    quint32 parent = 0;
    QByteArray data; // file contents (item size = data size unless sizeOverride >= 0)
    QVector<QVector<quint32>> segments;
    qint64 sizeOverride = -1;

    static CacheItem folder(const QByteArray &name, quint32 parent)
    {
        CacheItem item;
        item.name = name;
        item.parent = parent;
        return item;
    }
    static CacheItem file(const QByteArray &name, quint32 parent, const QByteArray &data,
                          const QVector<quint32> &blocks = {}, quint32 flags = 0x4000)
    {
        CacheItem item;
        item.name = name;
        item.parent = parent;
        item.flags = flags;
        item.data = data;
        if (!blocks.isEmpty())
            item.segments.append(blocks);
        return item;
    }
};

// Byte offsets of the parts, for patching faults into a valid file.
struct CacheLayout
{
    QByteArray bytes;
    int blockEntries = -1;     // GCF only
    int fragmentationMap = -1; // GCF only
    int directoryHeader = 0;
    int directoryEntries = 0;
    int names = 0;
    int directoryMap = 0;
    int dataBlockHeader = -1; // GCF only
    int dataBlocks = -1;      // GCF only
    int blockEntryCount = 0;  // block entries in use (the rest are zero)

    // Offset of field `field` (0..6) of directory entry `item`.
    int entryField(int item, int field) const { return directoryEntries + item * 28 + field * 4; }
    // Offset of field `field` (0..6) of block entry `index`.
    int blockEntryField(int index, int field) const
    {
        return blockEntries + index * 28 + field * 4;
    }
    int fragmentationEntry(int block) const { return fragmentationMap + block * 4; }
};

struct CacheFixture
{
    static constexpr quint32 NoParent = 0xFFFFFFFF;

    bool gcf = true;
    quint32 blockSize = 16;
    quint32 blockCount = 12;
    // Third value of the fragmentation map header: 0 ends chains at 0xFFFF,
    // anything else at 0xFFFFFFFF.
    quint32 terminatorMode = 1;
    QVector<CacheItem> items;

    quint32 terminator() const { return terminatorMode == 0 ? 0xFFFFu : 0xFFFFFFFFu; }

    CacheLayout build() const
    {
        CacheLayout layout;
        ByteBuilder b;
        const quint32 itemCount = quint32(items.size());

        // Block entries and the chains through the fragmentation map.
        struct BlockEntry
        {
            quint32 dataSize = 0, firstBlock = 0, next = 0, previous = 0, item = 0;
        };
        QVector<BlockEntry> entries;
        QVector<quint32> directoryMap(items.size(), gcf ? blockCount : 0);
        QVector<quint32> fragmentation(int(blockCount), terminator());
        QByteArray dataArea(int(blockSize * blockCount), '\0');
        for (int i = 0; i < items.size(); ++i) {
            const CacheItem &item = items[i];
            int taken = 0;
            for (int s = 0; s < item.segments.size(); ++s) {
                const QVector<quint32> &blocks = item.segments[s];
                const bool lastSegment = s == item.segments.size() - 1;
                const int size = lastSegment ? item.data.size() - taken
                                             : qMin(item.data.size() - taken,
                                                    int(blocks.size() * int(blockSize)));
                BlockEntry e;
                e.dataSize = quint32(size);
                e.firstBlock = blocks.value(0);
                e.item = quint32(i);
                e.previous = s == 0 ? blockCount : quint32(entries.size() - 1);
                e.next = lastSegment ? blockCount : quint32(entries.size() + 1);
                if (s == 0)
                    directoryMap[i] = quint32(entries.size());
                entries.append(e);
                for (int k = 0; k < blocks.size(); ++k) {
                    const quint32 block = blocks[k];
                    fragmentation[int(block)] =
                        k + 1 < blocks.size() ? blocks[k + 1] : terminator();
                }
                // Copy the segment's bytes block by block.
                int left = size;
                for (int k = 0; k < blocks.size() && left > 0; ++k) {
                    const int n = qMin(left, int(blockSize));
                    dataArea.replace(int(blocks[k] * blockSize), n, item.data.mid(taken, n));
                    taken += n;
                    left -= n;
                }
            }
        }
        layout.blockEntryCount = entries.size();

        // Name table.
        QByteArray names;
        QVector<quint32> nameOffsets;
        for (const CacheItem &item : items) {
            nameOffsets.append(quint32(names.size()));
            names.append(item.name);
            names.append('\0');
        }

        // File header.
        b.u32(1).u32(gcf ? 1 : 2).u32(6).u32(7).u32(3).u32(0).u32(0);
        const int fileSizeAt = b.placeholder32();
        b.u32(gcf ? blockSize : 0).u32(gcf ? blockCount : 0).u32(0);

        if (gcf) {
            b.u32(blockCount)
                .u32(quint32(entries.size()))
                .u32(0)
                .u32(0)
                .u32(0)
                .u32(0)
                .u32(0)
                .u32(0);
            layout.blockEntries = b.pos();
            for (quint32 i = 0; i < blockCount; ++i) {
                if (int(i) < entries.size()) {
                    const BlockEntry &e = entries[int(i)];
                    b.u32(0x200F8000)
                        .u32(0)
                        .u32(e.dataSize)
                        .u32(e.firstBlock)
                        .u32(e.next)
                        .u32(e.previous)
                        .u32(e.item);
                } else {
                    b.zeros(28);
                }
            }
            b.u32(blockCount).u32(0).u32(terminatorMode).u32(0);
            layout.fragmentationMap = b.pos();
            for (quint32 v : fragmentation)
                b.u32(v);
        }

        // Directory.
        layout.directoryHeader = b.pos();
        quint32 fileCount = 0;
        for (const CacheItem &item : items)
            fileCount += item.flags != 0 ? 1 : 0;
        b.u32(4)
            .u32(7)
            .u32(3)
            .u32(itemCount)
            .u32(fileCount)
            .u32(0x8000)
            .u32(itemCount * 28 + quint32(names.size()))
            .u32(quint32(names.size()))
            .u32(1)
            .u32(0)
            .u32(0)
            .u32(1)
            .u32(0)
            .u32(0);
        layout.directoryEntries = b.pos();
        for (int i = 0; i < items.size(); ++i) {
            const CacheItem &item = items[i];
            const quint32 size =
                item.sizeOverride >= 0 ? quint32(item.sizeOverride) : quint32(item.data.size());
            b.u32(nameOffsets[i])
                .u32(size)
                .u32(item.flags ? quint32(i) : 0xFFFFFFFF)
                .u32(item.flags)
                .u32(item.parent)
                .u32(0)
                .u32(0);
        }
        layout.names = b.pos();
        b.bytes(names);
        b.u32(0);                              // one info entry
        for (int i = 0; i < items.size(); ++i) // item info entries
            b.u32(0);
        b.u32(1).u32(0); // directory map header
        layout.directoryMap = b.pos();
        for (quint32 v : directoryMap)
            b.u32(v);
        b.u32(1).u32(0);                                   // checksum header
        b.u32(0x14893721).u32(1).u32(2).u32(3);            // checksum map header
        b.u32(1).u32(0).u32(2).u32(1);                     // two checksum map entries
        b.u32(0xAAAAAAAA).u32(0xBBBBBBBB).u32(0xCCCCCCCC); // three checksums
        b.fill(128, '\x5A');                               // signature block

        if (gcf) {
            layout.dataBlockHeader = b.pos();
            b.u32(3).u32(blockCount).u32(blockSize);
            const int firstBlockAt = b.placeholder32();
            b.u32(quint32(entries.size())).u32(0);
            layout.dataBlocks = b.pos();
            b.patchU32(firstBlockAt, quint32(layout.dataBlocks));
            b.bytes(dataArea);
        }
        b.patchU32(fileSizeAt, quint32(b.pos()));
        layout.bytes = b.data();
        return layout;
    }
};

#pragma once

#include "ByteBuilder.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QVector>

// Hand-built map files and pakfile archives for the package tests. Nothing
// here calls the code under test.

// A stored zip archive, laid out as the zip format describes. CRCs are 0
// unless a test gives them: the map reader does not check them.
struct ZipFixture
{
    struct Entry
    {
        QByteArray name;
        QByteArray data;
        QByteArray localExtra;
        QByteArray centralExtra;
        QByteArray comment;
        quint16 method = 0;
        // Flag bit 3: zero sizes in the local header, a descriptor after the data.
        bool descriptor = false;
        // Name written in the local header when it should differ.
        QByteArray localName;
        quint32 crc = 0;
        // Size of the file's contents when it is not the stored data's (a
        // compressed file); -1: the data's size.
        qint64 uncompressed = -1;
        quint32 uncompressedSize() const
        {
            return quint32(uncompressed < 0 ? data.size() : uncompressed);
        }
    };

    QVector<Entry> entries;
    QByteArray archiveComment;
    // Bytes put between the local records and the central directory, and
    // between central entries (the reader must skip them).
    QByteArray gapBeforeDirectory;
    QByteArray gapBetweenEntries;
    // Bytes after the end record and its comment.
    QByteArray trailer;

    // Offsets of the last build, relative to the archive start.
    QVector<int> localOffsets;
    QVector<int> dataOffsets;
    int directoryOffset = 0;
    int endOffset = 0;

    Entry &add(const QByteArray &name, const QByteArray &data)
    {
        entries.append(Entry{name, data, {}, {}, {}, 0, false, {}});
        return entries.last();
    }

    QByteArray build()
    {
        ByteBuilder b;
        localOffsets.clear();
        dataOffsets.clear();
        for (const Entry &e : entries) {
            const QByteArray localName = e.localName.isNull() ? e.name : e.localName;
            localOffsets.append(b.pos());
            b.u32(0x04034b50).u16(10).u16(e.descriptor ? 8 : 0).u16(e.method).u16(0).u16(0);
            b.u32(e.descriptor ? 0 : e.crc);
            b.u32(e.descriptor ? 0 : quint32(e.data.size()));
            b.u32(e.descriptor ? 0 : e.uncompressedSize());
            b.u16(quint16(localName.size())).u16(quint16(e.localExtra.size()));
            b.bytes(localName).bytes(e.localExtra);
            dataOffsets.append(b.pos());
            b.bytes(e.data);
            if (e.descriptor)
                b.u32(0x08074b50).u32(e.crc).u32(quint32(e.data.size())).u32(e.uncompressedSize());
        }
        b.bytes(gapBeforeDirectory);
        directoryOffset = b.pos();
        for (int i = 0; i < entries.size(); ++i) {
            const Entry &e = entries[i];
            if (i > 0)
                b.bytes(gapBetweenEntries);
            b.u32(0x02014b50).u16(20).u16(10).u16(e.descriptor ? 8 : 0).u16(e.method);
            b.u16(0).u16(0).u32(e.crc).u32(quint32(e.data.size())).u32(e.uncompressedSize());
            b.u16(quint16(e.name.size())).u16(quint16(e.centralExtra.size()));
            b.u16(quint16(e.comment.size())).u16(0).u16(0).u32(0).u32(quint32(localOffsets[i]));
            b.bytes(e.name).bytes(e.centralExtra).bytes(e.comment);
        }
        endOffset = b.pos();
        b.u32(0x06054b50).u16(0).u16(0).u16(quint16(entries.size())).u16(quint16(entries.size()));
        b.u32(quint32(endOffset - directoryOffset)).u32(quint32(directoryOffset));
        b.u16(quint16(archiveComment.size())).bytes(archiveComment);
        b.bytes(trailer);
        return b.data();
    }
};

// A compiled map: header, 64 lump records and the lumps' bytes, laid out one
// after another from byte 1036 in the order given.
struct MapFixture
{
    struct GameLump
    {
        qint32 id;
        quint16 flags;
        quint16 version;
        QByteArray data;
    };

    qint32 version = 20;
    // Version 21 only: records as {version, offset, length} instead of
    // {offset, length, version}.
    bool layoutB = false;
    qint32 revision = 7;
    QByteArray lumps[64];
    qint32 lumpVersions[64] = {};
    QByteArray fourCC[64];
    // When not empty, lump 35 is built from these: directory then data.
    QVector<GameLump> gameLumps;
    // Bytes between the game-lump directory and the first game lump.
    QByteArray gameLumpGap;
    // File order of the lumps; empty means 0 to 63.
    QVector<int> order;

    // Offsets and lengths of the last build.
    qint32 offsets[64] = {};
    qint32 lengths[64] = {};
    QVector<qint32> gameLumpOffsets;

    QByteArray build()
    {
        QVector<int> sequence = order;
        if (sequence.isEmpty()) {
            for (int i = 0; i < 64; ++i)
                sequence.append(i);
        }
        // Sizes first: the game-lump directory holds absolute offsets.
        int at = 1036;
        for (int lump : sequence) {
            offsets[lump] = at;
            at += lump == 35 && !gameLumps.isEmpty() ? gameLumpSize() : lumps[lump].size();
        }
        if (!gameLumps.isEmpty())
            lumps[35] = buildGameLumps(offsets[35]);

        ByteBuilder b;
        b.u32(0x50534256).i32(version);
        for (int i = 0; i < 64; ++i) {
            lengths[i] = lumps[i].size();
            if (layoutB)
                b.i32(lumpVersions[i]).i32(offsets[i]).i32(lengths[i]);
            else
                b.i32(offsets[i]).i32(lengths[i]).i32(lumpVersions[i]);
            b.fixed(fourCC[i], 4);
        }
        b.i32(revision);
        for (int lump : sequence)
            b.bytes(lumps[lump]);
        return b.data();
    }

private:
    int gameLumpSize() const
    {
        int size = 4 + 16 * gameLumps.size() + gameLumpGap.size();
        for (const GameLump &g : gameLumps)
            size += g.data.size();
        return size;
    }

    QByteArray buildGameLumps(int lumpOffset)
    {
        ByteBuilder b;
        gameLumpOffsets.clear();
        int at = lumpOffset + 4 + 16 * gameLumps.size() + gameLumpGap.size();
        b.i32(gameLumps.size());
        for (const GameLump &g : gameLumps) {
            gameLumpOffsets.append(at);
            b.i32(g.id).u16(g.flags).u16(g.version).i32(at).i32(g.data.size());
            at += g.data.size();
        }
        b.bytes(gameLumpGap);
        for (const GameLump &g : gameLumps)
            b.bytes(g.data);
        return b.data();
    }
};

// Fixtures shared by the map tests.
namespace MapFixtures {

constexpr qint32 Sprp = 0x73707270;

inline QByteArray staticProps(const QList<QByteArray> &names)
{
    ByteBuilder b;
    b.i32(names.size());
    for (const QByteArray &n : names)
        b.fixed(n, 128);
    return b.data();
}

// A version-20 map with entities, texture names, two game lumps, an HDR
// lighting lump and a pakfile of three files.
inline MapFixture typicalMap(ZipFixture *zipOut = nullptr)
{
    MapFixture m;
    m.lumps[0] = "{\n\"classname\" \"worldspawn\"\r\n  \n}\n";
    m.lumps[1] = QByteArray(40, 'p');
    m.lumps[43] = QByteArray("tools/toolsnodraw\0METAL\\\\Floor01 \0\0last", 39);
    m.lumps[53] = QByteArray(12, 'h');
    m.lumpVersions[1] = 3;
    m.fourCC[1] = QByteArray("LZMA");
    m.gameLumps = {{Sprp, 1, 10, staticProps({"models/a.mdl", " models/b.mdl"})},
                   {0x64707270, 0, 4, QByteArray()},
                   {0x6c707270, 0, 5, QByteArray(8, 'd')}};
    m.gameLumpGap = QByteArray(6, 'g');
    ZipFixture z;
    z.add("materials/a.vmt", "alpha");
    z.add("materials\\Sub//b.vtf", QByteArray(100, 'b'));
    z.add("readme.txt", "r");
    z.archiveComment = "made by hand";
    m.lumps[40] = z.build();
    if (zipOut)
        *zipOut = z;
    return m;
}

// A pakfile with names the tree cannot show as they are, in this order:
// separators to fold, an empty name, a folder record, two names that differ
// only in case, a lump's name, a plain file, a path of 3,000 levels, a file
// below a file and a file where a folder is.
inline ZipFixture oddNamesPakfile()
{
    ZipFixture z;
    z.add("materials\\foo|bar//x.vmt", "x");
    z.add("", "nameless");
    z.add("Sounds/", "");
    z.add("sounds/A.wav", "first");
    z.add("SOUNDS/a.WAV", "second");
    z.add("lumps/Entities.lmp", "clash");
    z.add("last.txt", "L");
    z.add(QByteArray("deep/").repeated(3000) + "x.txt", "D");
    z.add("last.txt/inner.txt", "I");
    z.add("sounds", "S");
    return z;
}

class MapFile
{
public:
    explicit MapFile(const QByteArray &bytes)
    {
        m_path = m_dir.filePath("map.bsp");
        write(bytes);
    }
    void write(const QByteArray &bytes)
    {
        QFile f(m_path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
    }
    QString path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

} // namespace MapFixtures

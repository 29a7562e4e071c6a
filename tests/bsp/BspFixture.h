#pragma once

#include "ByteBuilder.h"
#include "CDelegateBSP.h"
#include "CEntity.h"
#include "FileBytes.h"
#include "MapBuilder.h"

#include <QBuffer>

// Hand-built maps for the lump-file tests, laid out the way a map rewrite
// lays them out (lumps in number order, the pakfile last, its names and CRCs
// as the rewrite writes them), so that a rewrite that changes nothing gives
// the same bytes back.
namespace LumpMaps {

constexpr qint32 Revision = 1234;

// version: 19, 20, 21 (records stored version, offset, length) or 22 (a
// version-21 map whose records are stored offset, length, version).
inline MapFixture map(int version)
{
    MapFixture m;
    m.version = version == 22 ? 21 : version;
    m.layoutB = version == 21;
    m.revision = Revision;
    m.lumps[0] = QByteArray("{\n\"classname\" \"worldspawn\"\n}\n") + '\0';
    m.lumps[1] = QByteArray(40, 'p');
    m.lumpVersions[1] = 3;
    m.fourCC[1] = QByteArray("LZMA");
    m.lumps[5] = QByteArray("\x01\x02\x03\x04\x05\x06", 6);
    m.lumps[43] = QByteArray("tools/toolsnodraw\0", 18);
    m.lumpVersions[53] = 1;
    m.gameLumps = {{MapFixtures::Sprp, 1, 10, MapFixtures::staticProps({"models/a.mdl"})},
                   {0x64707270, 0, 4, QByteArray()},
                   {0x6c707270, 0, 5, QByteArray(8, 'd')}};
    m.gameLumpGap = QByteArray(6, 'g');
    ZipFixture z;
    z.add("materials/a.vmt", "alpha").crc = 0xd0e0396a;
    z.add("readme.txt", "r").crc = 0x6c09ff9d;
    m.lumps[40] = z.build();
    for (int i = 0; i < 64; ++i) {
        if (i != 40)
            m.order.append(i);
    }
    m.order.append(40);
    return m;
}

// A lump file built by hand: the five header integers, then the data.
inline QByteArray lumpFile(qint32 headerSize, qint32 index, qint32 version, qint32 length,
                           qint32 revision, const QByteArray &data)
{
    ByteBuilder b;
    b.i32(headerSize).i32(index).i32(version).i32(length).i32(revision).bytes(data);
    return b.data();
}

// The bytes stored for a lump of the map on disk, read through the map
// delegate.
inline QByteArray storedLump(const QString &map, int index)
{
    CDelegateBSP delegate;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!delegate.open(map, true) || !delegate.writeStored(&buffer, index))
        return "unreadable";
    return bytes;
}

} // namespace LumpMaps

// An entity's pairs as "key=value;key=value".
inline QString pairsText(const CEntity &entity)
{
    QStringList pairs;
    for (const CEntityKeyValue &pair : entity.pairs())
        pairs << pair.key + QLatin1Char('=') + pair.value;
    return pairs.join(QLatin1Char(';'));
}

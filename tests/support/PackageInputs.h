#pragma once

#include "ByteBuilder.h"

#include <QByteArray>
#include <QIODevice>

// Generated package inputs, shared by the benchmarks and the tests: large
// maps and VPK directories, and hostile maps. Written by hand from the file
// formats, never through the code they exercise. Every input is a pure
// function of its parameters, so a test can pin the bytes that come out of
// the code for it.
namespace PackageInputs {

constexpr int MapHeaderSize = 1036;
constexpr qint32 MapIdent = 0x50534256;
constexpr int FilesPerFolder = 1000;

// Name and bytes of file `i` of a generated pakfile; sizes vary around
// `fileSize` so that records and CRCs differ.
inline QByteArray pakfileName(int i)
{
    return "materials/set" + QByteArray::number(i / FilesPerFolder) + "/file" +
           QByteArray::number(i) + ".vmt";
}

inline QByteArray pakfileData(int i, int fileSize)
{
    QByteArray data(fileSize + i % 5, Qt::Uninitialized);
    for (int k = 0; k < data.size(); ++k)
        data[k] = char(i * 31 + k * 7 + (k >> 8));
    return data;
}

// A zip of stored files, `FilesPerFolder` to a folder. CRCs are left 0: the
// map reader does not check them and a flush computes them anew.
inline QByteArray pakfile(int files, int fileSize)
{
    ByteBuilder zip;
    ByteBuilder directory;
    for (int i = 0; i < files; ++i) {
        const QByteArray name = pakfileName(i);
        const QByteArray data = pakfileData(i, fileSize);
        const quint32 local = quint32(zip.pos());
        const auto size = quint32(data.size());
        zip.u32(0x04034b50).u16(10).u16(0).u16(0).u16(0).u16(0).u32(0).u32(size).u32(size);
        zip.u16(quint16(name.size())).u16(0).bytes(name).bytes(data);
        directory.u32(0x02014b50).u16(20).u16(10).u16(0).u16(0).u16(0).u16(0).u32(0);
        directory.u32(size).u32(size).u16(quint16(name.size())).u16(0).u16(0).u16(0).u16(0);
        directory.u32(0).u32(local).bytes(name);
    }
    const auto directoryOffset = quint32(zip.pos());
    zip.bytes(directory.data());
    zip.u32(0x06054b50).u16(0).u16(0).u16(quint16(files)).u16(quint16(files));
    zip.u32(quint32(directory.pos())).u32(directoryOffset).u16(0);
    return zip.data();
}

// Lump 35: a directory of two game lumps (a static-prop dictionary and one
// more), with absolute offsets for a lump starting at `lumpOffset`.
inline QByteArray gameLumps(qint64 lumpOffset)
{
    ByteBuilder props;
    props.i32(2).fixed("models/a.mdl", 128).fixed("models/b.mdl", 128);
    const QByteArray other(24, 'g');
    ByteBuilder b;
    const auto first = qint32(lumpOffset + 4 + 2 * 16);
    b.i32(2);
    b.i32(0x73707270).u16(0).u16(10).i32(first).i32(props.pos());
    b.i32(0x64707270).u16(0).u16(4).i32(first + props.pos()).i32(other.size());
    return b.bytes(props.data()).bytes(other).data();
}

// A version-20 map: the header, lump 8 of `lumpBytes` patterned bytes, lump
// 35 with two game lumps, and lump 40, a pakfile of `files` stored files.
// Written in pieces, so a map of hundreds of megabytes needs little memory.
inline bool writeMap(QIODevice &out, qint64 lumpBytes, int files, int fileSize)
{
    const QByteArray zip = pakfile(files, fileSize);
    qint64 offsets[64] = {};
    qint64 lengths[64] = {};
    offsets[8] = MapHeaderSize;
    lengths[8] = lumpBytes;
    offsets[35] = offsets[8] + lumpBytes;
    const QByteArray game = gameLumps(offsets[35]);
    lengths[35] = game.size();
    offsets[40] = offsets[35] + lengths[35];
    lengths[40] = zip.size();
    for (int i = 0; i < 64; ++i) {
        if (lengths[i] == 0)
            offsets[i] = offsets[40] + lengths[40];
    }
    ByteBuilder header;
    header.i32(MapIdent).i32(20);
    for (int i = 0; i < 64; ++i)
        header.u32(quint32(offsets[i])).u32(quint32(lengths[i])).u32(0).u32(0);
    header.i32(1);
    if (out.write(header.data()) != MapHeaderSize)
        return false;
    constexpr int Chunk = 1 << 20;
    QByteArray chunk(Chunk, Qt::Uninitialized);
    for (int i = 0; i < Chunk; ++i)
        chunk[i] = char(i * 7 + (i >> 9));
    for (qint64 left = lumpBytes; left > 0; left -= Chunk) {
        const qint64 n = qMin<qint64>(left, Chunk);
        if (out.write(chunk.constData(), n) != n)
            return false;
    }
    return out.write(game) == game.size() && out.write(zip) == zip.size();
}

// A version-1 VPK directory of `entries` files, `FilesPerFolder` to a folder,
// with their data in the directory file: every third file has two preload
// bytes, file i has i % 4 bytes of data.
inline QByteArray vpkDirectory(int entries)
{
    ByteBuilder tree;
    QByteArray data;
    tree.cstring("vmt");
    for (int folder = 0; folder * FilesPerFolder < entries; ++folder) {
        tree.cstring("materials/set" + QByteArray::number(folder));
        const int end = qMin(entries, (folder + 1) * FilesPerFolder);
        for (int i = folder * FilesPerFolder; i < end; ++i) {
            const QByteArray preload = i % 3 == 0 ? QByteArray("p") + char('0' + i % 10) : "";
            const QByteArray bytes = QByteArray::number(i % 4 * 1111).left(i % 4);
            tree.cstring("material_" + QByteArray::number(i));
            // CRC, preload count, archive (the directory itself), offset,
            // length, terminator, preload bytes.
            tree.u32(quint32(i)).u16(quint16(preload.size())).u16(0x7FFF);
            tree.u32(quint32(data.size())).u32(quint32(bytes.size())).u16(0xFFFF);
            tree.bytes(preload);
            data.append(bytes);
        }
        tree.u8(0);
    }
    tree.u8(0).u8(0);
    ByteBuilder file;
    file.u32(0x55AA1234).u32(1).u32(quint32(tree.pos())).bytes(tree.data()).bytes(data);
    return file.data();
}

// A map whose pakfile lists `records` files that all claim a local header at
// the start of lump 40, where `junkBytes` bytes without any signature come
// first; one real local header follows the junk. A reader that searched
// forward from each claimed place would cross the junk once per record.
inline QByteArray pakfileBeforeJunk(int records, int junkBytes)
{
    ByteBuilder zip;
    zip.fill(junkBytes, 'j');
    const QByteArray name = "junk.txt";
    zip.u32(0x04034b50).u16(10).u16(0).u16(0).u16(0).u16(0).u32(0).u32(1).u32(1);
    zip.u16(quint16(name.size())).u16(0).bytes(name).bytes("x");
    const auto directoryOffset = quint32(zip.pos());
    for (int i = 0; i < records; ++i) {
        zip.u32(0x02014b50).u16(20).u16(10).u16(0).u16(0).u16(0).u16(0).u32(0).u32(1).u32(1);
        zip.u16(quint16(name.size())).u16(0).u16(0).u16(0).u16(0).u32(0).u32(0).bytes(name);
    }
    const auto directorySize = quint32(zip.pos()) - directoryOffset;
    zip.u32(0x06054b50).u16(0).u16(0).u16(quint16(records)).u16(quint16(records));
    zip.u32(directorySize).u32(directoryOffset).u16(0);

    ByteBuilder map;
    map.i32(MapIdent).i32(20);
    for (int i = 0; i < 64; ++i) {
        const bool pak = i == 40;
        map.u32(MapHeaderSize).u32(pak ? quint32(zip.pos()) : 0).u32(0).u32(0);
    }
    map.i32(1);
    return map.bytes(zip.data()).data();
}

} // namespace PackageInputs

#pragma once

#include "ByteBuilder.h"

#include <QByteArray>

// A texture file written byte by byte as the format lays it out, for the
// reader and writer tests. Images are filled with pixelByte() of their
// position; the thumbnail, when present, is a 4 x 4 DXT1 block of 0xAB.
struct VTFFixture
{
    quint32 major = 7;
    quint32 minor = 3;
    quint16 width = 4;
    quint16 height = 4;
    quint32 flags = 0x2000;
    quint16 frames = 1;
    quint16 firstFrame = 0;
    qint32 format = 0;
    int bytesPerPixel = 4;
    quint8 mips = 3;
    int faces = 1;
    // Stored from 7.2 on; images per face (1 before 7.2).
    quint16 depth = 1;
    bool thumbnail = false;
    // Written from 7.3 on when not null.
    QByteArray sheet;
    QByteArray keyValues;
    bool lod = false;
    bool ts0 = false;
    bool crc = false;

    static char pixelByte(int level, int frame, int face, int slice)
    {
        return char(level * 64 + frame * 16 + face * 4 + slice + 1);
    }
    // Level sides: the largest halved per level below it, at least 1.
    int levelWidth(int level) const { return qMax(1, width >> (mips - 1 - level)); }
    int levelHeight(int level) const { return qMax(1, height >> (mips - 1 - level)); }
    int slices() const { return minor < 2 ? 1 : qMax<int>(depth, 1); }

    QByteArray build() const
    {
        struct Entry
        {
            quint32 tag;
            quint32 data;
        };
        QVector<Entry> directory;
        if (minor >= 3) {
            if (thumbnail)
                directory.append({0x01, 0});
            if (!sheet.isNull())
                directory.append({0x10, 0});
            if (!keyValues.isNull())
                directory.append({0x44564B, 0});
            directory.append({0x30, 0});
            if (lod)
                directory.append({0x02444F4C, 0x1E1E1E1E});
            if (ts0)
                directory.append({0x02305354, 7});
            if (crc)
                directory.append({0x02435243, 0xDEADBEEF});
        }
        const quint32 headerSize = minor < 2 ? 64 : minor == 2 ? 80 : 80 + 8 * directory.size();
        quint32 offset = headerSize;
        for (Entry &entry : directory) {
            if (entry.tag >> 24)
                continue;
            entry.data = offset;
            offset += entry.tag == 0x01       ? 8
                      : entry.tag == 0x10     ? 4 + sheet.size()
                      : entry.tag == 0x44564B ? 4 + keyValues.size()
                                              : 0;
        }

        ByteBuilder b;
        b.bytes(QByteArray("VTF", 4)).u32(major).u32(minor).u32(headerSize);
        b.u16(width).u16(height).u32(flags).u16(frames).u16(firstFrame).u32(0);
        b.f32(0.5f).f32(0.5f).f32(0.5f).u32(0).f32(1.0f).i32(format).u8(mips);
        b.i32(thumbnail ? 13 : -1).u8(thumbnail ? 4 : 0).u8(thumbnail ? 4 : 0);
        if (minor < 2) {
            b.u8(0);
        } else {
            b.u16(depth);
            if (minor == 2) {
                b.zeros(15);
            } else {
                b.zeros(3).u32(quint32(directory.size())).zeros(8);
                for (const Entry &entry : directory)
                    b.u32(entry.tag).u32(entry.data);
            }
        }
        if (thumbnail)
            b.fill(8, char(0xAB));
        if (minor >= 3 && !sheet.isNull())
            b.u32(quint32(sheet.size())).bytes(sheet);
        if (minor >= 3 && !keyValues.isNull())
            b.u32(quint32(keyValues.size())).bytes(keyValues);
        for (int level = 0; level < mips; ++level)
            for (int frame = 0; frame < frames; ++frame)
                for (int face = 0; face < faces; ++face)
                    for (int slice = 0; slice < slices(); ++slice)
                        b.fill(levelWidth(level) * levelHeight(level) * bytesPerPixel,
                               pixelByte(level, frame, face, slice));
        return b.data();
    }
};

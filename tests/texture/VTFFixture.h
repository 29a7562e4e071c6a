#pragma once

#include "ByteBuilder.h"
#include "CFileVTF.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QVector>

#include <array>

// A texture file written byte by byte as the format lays it out. Images are
// filled with pixelByte() of their position; the thumbnail, when present, is
// a 4 x 4 DXT1 block of 0xAB.
struct VTFFixture
{
    quint32 major = 7, minor = 3, flags = 0x2000;
    quint16 width = 4, height = 4, frames = 1, firstFrame = 0;
    // Stored from 7.2 on; images per face (1 before 7.2).
    quint16 depth = 1;
    qint32 format = 0;
    int bytesPerPixel = 4, mips = 3, faces = 1;
    bool thumbnail = false, lod = false, ts0 = false, crc = false;
    // Written from 7.3 on when not null.
    QByteArray sheet, keyValues;

    // A fixture in words: "7.4" the version; "thumbnail", "lod", "ts0" and
    // "crc"; "sheet" and "kvd" with payloads of their own; "name:n" for side
    // (both sides), width, height, frames, first, depth, format, bpp, mips,
    // faces and flags.
    static VTFFixture from(const QString &words)
    {
        VTFFixture f;
        QHash<QString, int> v;
        for (const QString &word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (word.contains(QLatin1Char('.'))) {
                f.major = word.section(QLatin1Char('.'), 0, 0).toUInt();
                f.minor = word.section(QLatin1Char('.'), 1).toUInt();
            }
            v[word.section(QLatin1Char(':'), 0, 0)] =
                word.section(QLatin1Char(':'), 1).toInt(nullptr, 0);
        }
        f.width = quint16(v.value("width", v.value("side", f.width)));
        f.height = quint16(v.value("height", v.value("side", f.height)));
        f.frames = quint16(v.value("frames", f.frames));
        f.firstFrame = quint16(v.value("first", f.firstFrame));
        f.depth = quint16(v.value("depth", f.depth));
        f.format = v.value("format", f.format);
        f.bytesPerPixel = v.value("bpp", f.bytesPerPixel);
        f.mips = v.value("mips", f.mips);
        f.faces = v.value("faces", f.faces);
        f.flags = quint32(v.value("flags", int(f.flags)));
        f.thumbnail = v.contains("thumbnail"), f.lod = v.contains("lod");
        f.ts0 = v.contains("ts0"), f.crc = v.contains("crc");
        if (v.contains("sheet"))
            f.sheet = QByteArray("SHEET\0DATA", 10);
        if (v.contains("kvd"))
            f.keyValues = "\"key\" \"value\"";
        return f;
    }

    static char pixelByte(int level, int frame, int face, int slice)
    {
        return char(level * 64 + frame * 16 + face * 4 + slice + 1);
    }
    // The largest level halved per level below it, at least 1.
    int levelWidth(int level) const { return qMax(1, width >> (mips - 1 - level)); }
    int levelHeight(int level) const { return qMax(1, height >> (mips - 1 - level)); }
    int slices() const { return minor < 2 ? 1 : qMax<int>(depth, 1); }

    QByteArray build() const
    {
        // Directory entries: tag, data, bytes of the item at the offset.
        QVector<std::array<quint32, 3>> entries;
        if (minor >= 3) {
            if (thumbnail)
                entries.append({0x01, 0, 8});
            if (!sheet.isNull())
                entries.append({0x10, 0, 4 + quint32(sheet.size())});
            if (!keyValues.isNull())
                entries.append({0x44564B, 0, 4 + quint32(keyValues.size())});
            entries.append({0x30, 0, 0});
            if (lod)
                entries.append({0x02444F4C, 0x1E1E1E1E, 0});
            if (ts0)
                entries.append({0x02305354, 7, 0});
            if (crc)
                entries.append({0x02435243, 0xDEADBEEF, 0});
        }
        const quint32 headerSize = minor < 2 ? 64 : minor == 2 ? 80 : 80 + 8 * entries.size();
        quint32 offset = headerSize;
        for (auto &entry : entries) {
            if (entry[0] >> 24 == 0) {
                entry[1] = offset;
                offset += entry[2];
            }
        }
        ByteBuilder b;
        b.bytes(QByteArray("VTF", 4)).u32(major).u32(minor).u32(headerSize).u16(width).u16(height);
        b.u32(flags).u16(frames).u16(firstFrame).u32(0).f32(0.5f).f32(0.5f).f32(0.5f).u32(0);
        b.f32(1.0f).i32(format).u8(quint8(mips)).i32(thumbnail ? 13 : -1);
        b.u8(thumbnail ? 4 : 0).u8(thumbnail ? 4 : 0);
        if (minor < 2)
            b.u8(0);
        else if (minor == 2)
            b.u16(depth).zeros(15);
        else
            b.u16(depth).zeros(3).u32(quint32(entries.size())).zeros(8);
        for (const auto &entry : entries)
            b.u32(entry[0]).u32(entry[1]);
        if (thumbnail)
            b.fill(8, char(0xAB));
        for (const QByteArray &payload : {sheet, keyValues})
            if (minor >= 3 && !payload.isNull())
                b.u32(quint32(payload.size())).bytes(payload);
        for (int level = 0; level < mips; ++level)
            for (int frame = 0; frame < frames; ++frame)
                for (int face = 0; face < faces; ++face)
                    for (int slice = 0; slice < slices(); ++slice)
                        b.fill(levelWidth(level) * levelHeight(level) * bytesPerPixel,
                               pixelByte(level, frame, face, slice));
        return b.data();
    }
};

// Applies one "name:count" step to a document: frames, faces, slices, mips,
// first (the first frame), or levels (the tree resized to that many levels
// below the present size, as a file with that mip count reads).
inline bool applyStep(CFileVTF &texture, const QString &step)
{
    const QString name = step.section(QLatin1Char(':'), 0, 0);
    const int count = step.section(QLatin1Char(':'), 1).toInt();
    if (name == QLatin1String("first"))
        texture.setFirstFrame(quint16(count));
    return name == QLatin1String("levels")
               ? texture.resetImageTree(texture.width(), texture.height(), count, 1, 1, 1)
           : name == QLatin1String("frames") ? texture.setFrameCount(count)
           : name == QLatin1String("faces")  ? texture.setFaceCount(count)
           : name == QLatin1String("slices") ? texture.setSliceCount(count)
           : name == QLatin1String("mips")   ? texture.setMipmapCount(count)
                                             : name == QLatin1String("first");
}

// A document of "WxH" followed by steps, each of which must be accepted.
inline CFileVTF *texture(const QString &setup)
{
    QStringList steps = setup.split(QLatin1Char(' '));
    const QStringList size = steps.takeFirst().split(QLatin1Char('x'));
    auto *document = new CFileVTF(quint16(size.at(0).toInt()), quint16(size.at(1).toInt()));
    for (const QString &step : steps)
        if (!applyStep(*document, step))
            qFatal("fixture step %s refused", qPrintable(step));
    return document;
}

// Numbers written "2 1 0 0".
inline QList<int> numbers(const QString &text)
{
    QList<int> out;
    for (const QString &n : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out << n.toInt();
    return out;
}

// main() of a test that uses ImageMagick, which is set up before anything
// else; `setup` runs once the application exists.
#define VTF_TEST_MAIN(Test, Application, setup)                                                    \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        Magick::InitializeMagick(argc > 0 ? argv[0] : nullptr);                                    \
        Application application(argc, argv);                                                       \
        setup;                                                                                     \
        Test test;                                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

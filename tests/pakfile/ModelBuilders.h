#pragma once

#include "ByteBuilder.h"

#include <QByteArray>
#include <QList>

// Hand-built studio models laid out as real ones: the 408-byte header with the
// fields a test names, the 256-byte second header right after it, one bone
// record, then the texture records and names, the texture folder offsets and
// names, the include records and names and the key-value text, each table
// placed after the previous one.
struct ModelSpec
{
    QList<QByteArray> textures;
    QList<QByteArray> directories;
    QList<QByteArray> includes;
    QByteArray keyvalues;
};

namespace ModelOffset {
constexpr int Name = 12;
constexpr int FileLength = 76;
constexpr int EyePositionY = 84;
constexpr int BoneCount = 156;
constexpr int BoneOffset = 160;
constexpr int TextureCount = 204;
constexpr int TextureOffset = 208;
constexpr int DirectoryCount = 212;
constexpr int DirectoryOffset = 216;
constexpr int KeyvalueOffset = 312;
constexpr int KeyvalueCount = 316;
constexpr int Mass = 328;
constexpr int IncludeCount = 336;
constexpr int IncludeOffset = 340;
constexpr int RootLod = 377;
constexpr int VertexAnimationScale = 392;
constexpr int ReservedAfterScale = 396;
constexpr int Header2Offset = 400;
constexpr int ReservedTail = 404;
constexpr int HeaderSize = 408;
constexpr int Header2Size = 256;
constexpr int BoneRecordSize = 216;
} // namespace ModelOffset

inline QByteArray buildModel(const ModelSpec &spec)
{
    using namespace ModelOffset;
    ByteBuilder b;
    b.bytes("IDST").zeros(HeaderSize - 4);
    b.patchU32(4, 48); // version

    b.patchU32(Header2Offset, quint32(b.pos()));
    b.zeros(Header2Size);
    b.patchU32(BoneCount, 1).patchU32(BoneOffset, quint32(b.pos()));
    b.zeros(BoneRecordSize);

    b.patchU32(TextureCount, quint32(spec.textures.size()));
    b.patchU32(TextureOffset, quint32(b.pos()));
    const int records = b.pos();
    b.zeros(64 * spec.textures.size());
    for (int i = 0; i < spec.textures.size(); ++i) {
        b.patchU32(records + 64 * i, quint32(b.pos() - (records + 64 * i)));
        b.cstring(spec.textures.at(i));
    }

    b.patchU32(DirectoryCount, quint32(spec.directories.size()));
    b.patchU32(DirectoryOffset, quint32(b.pos()));
    const int offsets = b.pos();
    b.zeros(4 * spec.directories.size());
    for (int i = 0; i < spec.directories.size(); ++i) {
        b.patchU32(offsets + 4 * i, quint32(b.pos()));
        b.cstring(spec.directories.at(i));
    }

    b.patchU32(IncludeCount, quint32(spec.includes.size()));
    b.patchU32(IncludeOffset, quint32(b.pos()));
    const int includes = b.pos();
    b.zeros(8 * spec.includes.size());
    for (int i = 0; i < spec.includes.size(); ++i) {
        b.patchU32(includes + 8 * i + 4, quint32(b.pos() - (includes + 8 * i)));
        b.cstring(spec.includes.at(i));
    }

    b.patchU32(KeyvalueCount, quint32(spec.keyvalues.size()));
    b.patchU32(KeyvalueOffset, quint32(b.pos()));
    b.bytes(spec.keyvalues);
    b.patchU32(FileLength, quint32(b.pos()));
    return b.data();
}

// A collision model: four header words (the third the solid count), each solid
// as a length and its bytes, then the text and a NUL.
inline QByteArray buildCollisionModel(const QList<QByteArray> &solids, const QByteArray &text,
                                      qint32 first = 16, qint32 second = 0, qint32 fourth = 0)
{
    ByteBuilder b;
    b.i32(first).i32(second).i32(qint32(solids.size())).i32(fourth);
    for (const QByteArray &solid : solids)
        b.i32(qint32(solid.size())).bytes(solid);
    b.cstring(text);
    return b.data();
}

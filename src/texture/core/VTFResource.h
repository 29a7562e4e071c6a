#pragma once

#include <QByteArray>
#include <QtGlobal>

// Identifiers and tags of texture resources. A tag is a 24-bit identifier in
// its low three bytes and a flag byte above it; entries are matched on the
// identifier alone.
namespace VTFResourceTag {
inline constexpr quint32 IdentifierMask = 0x00FFFFFF;
// Flag byte: the data word holds the value itself, not an offset.
inline constexpr quint32 InlineFlag = 0x02000000;

inline constexpr quint32 LowResImage = 0x00000001;
inline constexpr quint32 Sheet = 0x00000010;
inline constexpr quint32 HighResImage = 0x00000030;
inline constexpr quint32 KeyValues = 0x0044564B;     // "KVD"
inline constexpr quint32 Crc = 0x02435243;           // "CRC", inline
inline constexpr quint32 LevelOfDetail = 0x02444F4C; // "LOD", inline
inline constexpr quint32 Ts0 = 0x02305354;           // "TS0", inline

// The data a new "LOD" entry starts with: the bytes 30, 30, 30, 30.
inline constexpr quint32 LevelOfDetailDefault = 0x1E1E1E1E;
} // namespace VTFResourceTag

// One entry of a texture's resource list.
struct VTFResource
{
    quint32 tag = 0;
    // An offset in the file, or the value itself for inline entries.
    quint32 data = 0;
    // The bytes of the sprite-sheet and key-value resources.
    QByteArray payload;

    quint32 identifier() const { return tag & VTFResourceTag::IdentifierMask; }
    bool isInline() const { return (tag & VTFResourceTag::InlineFlag) != 0; }
    bool matches(quint32 otherTag) const
    {
        return identifier() == (otherTag & VTFResourceTag::IdentifierMask);
    }
};

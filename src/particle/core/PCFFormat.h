#pragma once

#include <QtGlobal>

// Layout of binary particle files.
namespace PCFFormat {

// Format codes, which also index the template documents.
enum Code : int
{
    Binary2Dmx1 = -1, // recognised, not read
    None = 0,
    Binary2Pcf1 = 1,
    Binary3Pcf2 = 2,
    Binary4Pcf2 = 3,
};

inline const char *const HeaderBinary2Pcf1 = "<!-- dmx encoding binary 2 format pcf 1 -->";
inline const char *const HeaderBinary3Pcf2 = "<!-- dmx encoding binary 3 format pcf 2 -->";
inline const char *const HeaderBinary4Pcf2 = "<!-- dmx encoding binary 4 format pcf 2 -->";
inline const char *const HeaderBinary2Dmx1 = "<!-- dmx encoding binary 2 format dmx 1 -->";

// The header line is followed by a line feed and a NUL.
constexpr quint16 HeaderTerminator = 0x000A;

// Encoding 3 keeps element names and STRING values in the dictionary and
// writes the dictionary size as int32; the others write names and values
// inline and the size as u16.
inline bool usesStringTable(int code)
{
    return code == Binary4Pcf2;
}

// Most dictionary entries a u16 size can announce (its sign bit stays clear);
// with an int32 size, most that 16-bit indices can reach.
constexpr int MaxShortDictionary = 32767;
constexpr int MaxLongDictionary = 65536;

// Smallest encodings, used to refuse counts that the bytes left cannot hold:
// an element header (type index, inline name of at least its NUL or a name
// index, GUID) and an attribute (name index and type byte).
constexpr int GuidSize = 16;
constexpr int MinElementHeaderInline = 2 + 1 + GuidSize;
constexpr int MinElementHeaderIndexed = 2 + 2 + GuidSize;
constexpr int MinAttributeSize = 2 + 1;

// The element position that refers to no element.
constexpr qint32 NullElement = -1;

// The header text of a format code; null for codes without one.
inline const char *headerText(int code)
{
    switch (code) {
    case Binary2Pcf1:
        return HeaderBinary2Pcf1;
    case Binary3Pcf2:
        return HeaderBinary3Pcf2;
    case Binary4Pcf2:
        return HeaderBinary4Pcf2;
    case Binary2Dmx1:
        return HeaderBinary2Dmx1;
    default:
        return nullptr;
    }
}

} // namespace PCFFormat

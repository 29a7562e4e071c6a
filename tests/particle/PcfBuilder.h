#pragma once

#include "ByteBuilder.h"

#include <QByteArray>
#include <QList>
#include <QVector>

// Writes particle files by hand for the three encodings (1: binary 2 pcf 1,
// 2: binary 3 pcf 2, 3: binary 4 pcf 2; -1 the refused dmx 1 header), in the
// order the writer emits them, so that fixtures can be compared byte for byte.
class PcfBuilder : public ByteBuilder
{
public:
    explicit PcfBuilder(int encoding)
        : m_encoding(encoding)
    {}

    // The byte writers again, returning this builder so that calls chain.
    PcfBuilder &u8(quint8 v) { return chain(ByteBuilder::u8(v)); }
    PcfBuilder &u16(quint16 v) { return chain(ByteBuilder::u16(v)); }
    PcfBuilder &i32(qint32 v) { return chain(ByteBuilder::i32(v)); }
    PcfBuilder &f32(float v) { return chain(ByteBuilder::f32(v)); }
    PcfBuilder &bytes(const QByteArray &b) { return chain(ByteBuilder::bytes(b)); }
    PcfBuilder &cstring(const QByteArray &s) { return chain(ByteBuilder::cstring(s)); }

    int encoding() const { return m_encoding; }
    // Encoding 3 keeps element names and STRING values in the dictionary.
    bool indexed() const { return m_encoding == 3; }

    static QByteArray headerText(int encoding)
    {
        switch (encoding) {
        case 1:
            return "<!-- dmx encoding binary 2 format pcf 1 -->";
        case 2:
            return "<!-- dmx encoding binary 3 format pcf 2 -->";
        case 3:
            return "<!-- dmx encoding binary 4 format pcf 2 -->";
        default:
            return "<!-- dmx encoding binary 2 format dmx 1 -->";
        }
    }

    // The header line, then 0x0A and a NUL.
    PcfBuilder &header()
    {
        bytes(headerText(m_encoding));
        u8(0x0A);
        u8(0);
        return *this;
    }

    // Dictionary size (u16, or int32 in encoding 3) and the strings; the list
    // is kept for index().
    PcfBuilder &dictionary(const QList<QByteArray> &strings)
    {
        m_strings = strings;
        dictionarySize(strings.size());
        for (const QByteArray &text : strings)
            cstring(text);
        return *this;
    }
    PcfBuilder &dictionarySize(qint32 size)
    {
        if (indexed())
            i32(size);
        else
            u16(quint16(size));
        return *this;
    }
    quint16 index(const QByteArray &text) const { return quint16(m_strings.indexOf(text)); }

    // Type index, name (index in encoding 3, else inline) and a GUID whose 16
    // bytes count up from seed * 16.
    PcfBuilder &element(const QByteArray &type, const QByteArray &name, int seed)
    {
        u16(index(type));
        if (indexed())
            u16(index(name));
        else
            cstring(name);
        return guid(seed);
    }
    PcfBuilder &guid(int seed)
    {
        for (int i = 0; i < 16; ++i)
            u8(quint8(seed * 16 + i));
        return *this;
    }

    // Attribute name index and type byte.
    PcfBuilder &attribute(const QByteArray &name, quint8 type)
    {
        u16(index(name));
        u8(type);
        return *this;
    }
    // A STRING value: a dictionary index in encoding 3, else inline.
    PcfBuilder &text(const QByteArray &value)
    {
        if (indexed())
            u16(index(value));
        else
            cstring(value);
        return *this;
    }

private:
    PcfBuilder &chain(ByteBuilder &) { return *this; }

    int m_encoding;
    QList<QByteArray> m_strings;
};

// The every-type fixture: a root "root" whose "particleSystemDefinitions"
// holds system "sys" (element 1); the system has one attribute of every type
// code 1 to 28 (STRING_ARRAY only outside encoding 3, whose writer refuses
// it), named after the type in lower case. Its ELEMENT names "op" (element 2),
// its ELEMENT_ARRAY holds "item" (element 3).
namespace PcfFixture {

inline const char *const typeNames[29] = {
    "null",          "element",       "integer",       "float",
    "boolean",       "string",        "binary",        "time",
    "color",         "vector2",       "vector3",       "vector4",
    "qangle",        "quaternion",    "matrix",        "element_array",
    "integer_array", "float_array",   "boolean_array", "string_array",
    "binary_array",  "time_array",    "color_array",   "vector2_array",
    "vector3_array", "vector4_array", "qangle_array",  "quaternion_array",
    "matrix_array",
};

inline QVector<int> everyType(int encoding)
{
    QVector<int> types;
    for (int type = 1; type <= 28; ++type) {
        if (!(encoding == 3 && type == 19))
            types.append(type);
    }
    return types;
}

// One sample value of an item type; k varies the value between array items.
inline void value(PcfBuilder &b, int type, int k)
{
    switch (type) {
    case 1:
        b.i32(2);
        return;
    case 2:
        b.i32(-123456 + k);
        return;
    case 3:
        b.f32(1.5f + k);
        return;
    case 4:
        b.u8(k ? 0 : 1);
        return;
    case 5:
        b.text(k ? "op" : "sys");
        return;
    case 6:
        b.i32(3 + k).u8(0x0A).u8(0xFF).u8(0x00);
        for (int i = 0; i < k; ++i)
            b.u8(0x7F);
        return;
    case 7:
        b.i32(12345 + k * 7);
        return;
    case 8:
        b.u8(1).u8(2).u8(3).u8(quint8(4 + k));
        return;
    case 9:
        b.f32(0.25f).f32(-2.0f - k);
        return;
    case 10:
        b.f32(1).f32(2).f32(3.0f + k);
        return;
    case 11:
        b.f32(1).f32(2).f32(3).f32(4.0f + k);
        return;
    case 12:
        b.f32(90).f32(180).f32(-45.0f - k);
        return;
    case 13:
        b.f32(0).f32(0).f32(k).f32(1);
        return;
    case 14:
        for (int i = 0; i < 16; ++i)
            b.f32(0.5f * i + k);
        return;
    default:
        return;
    }
}

// The dictionary of a root "root" and one system named `system`, as the
// writer starts it.
inline QList<QByteArray> rootAndSystem(const PcfBuilder &b, const QByteArray &system)
{
    QList<QByteArray> dictionary{"DmElement"};
    if (b.indexed())
        dictionary << "root";
    dictionary << "particleSystemDefinitions"
               << "DmeParticleSystemDefinition";
    if (b.indexed())
        dictionary << system;
    return dictionary;
}

inline QByteArray everyTypeFile(int encoding)
{
    PcfBuilder b(encoding);
    b.header();
    QList<QByteArray> dictionary = rootAndSystem(b, "sys");
    for (int type : everyType(encoding))
        dictionary << typeNames[type];
    dictionary << "DmeParticleOperator";
    if (b.indexed())
        dictionary << "op"
                   << "item";
    b.dictionary(dictionary);

    b.i32(4);
    b.element("DmElement", "root", 0);
    b.element("DmeParticleSystemDefinition", "sys", 1);
    b.element("DmeParticleOperator", "op", 2);
    b.element("DmeParticleOperator", "item", 3);

    b.i32(1);
    b.attribute("particleSystemDefinitions", 15).i32(1).i32(1);
    const QVector<int> types = everyType(encoding);
    b.i32(types.size());
    for (int type : types) {
        b.attribute(typeNames[type], quint8(type));
        if (type == 15) {
            b.i32(1).i32(3);
        } else if (type == 19) {
            b.i32(2).cstring("a").cstring("b");
        } else if (type > 15) {
            b.i32(2);
            value(b, type - 14, 0);
            value(b, type - 14, 1);
        } else {
            value(b, type, 0);
        }
    }
    b.i32(0);
    b.i32(0);
    return b.data();
}

} // namespace PcfFixture

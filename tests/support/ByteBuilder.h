#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cstring>

// Little-endian byte writer for hand-built test fixtures. Offsets that are only
// known later (directory offsets, sizes) are reserved with a placeholder and
// patched once known.
class ByteBuilder
{
public:
    int pos() const { return m_data.size(); }
    const QByteArray &data() const { return m_data; }

    ByteBuilder &u8(quint8 v) { return raw(&v, 1); }
    ByteBuilder &u16(quint16 v) { return le(v); }
    ByteBuilder &u32(quint32 v) { return le(v); }
    ByteBuilder &u64(quint64 v) { return le(v); }
    ByteBuilder &i16(qint16 v) { return le(quint16(v)); }
    ByteBuilder &i32(qint32 v) { return le(quint32(v)); }
    ByteBuilder &i64(qint64 v) { return le(quint64(v)); }
    ByteBuilder &f32(float v)
    {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        return le(bits);
    }
    ByteBuilder &bytes(const QByteArray &b)
    {
        m_data.append(b);
        return *this;
    }
    // Text followed by a NUL.
    ByteBuilder &cstring(const QByteArray &s)
    {
        m_data.append(s);
        m_data.append('\0');
        return *this;
    }
    // Text in a field of exactly n bytes, NUL-padded (and cut when longer).
    ByteBuilder &fixed(const QByteArray &s, int n)
    {
        QByteArray field = s.left(n);
        field.append(QByteArray(n - field.size(), '\0'));
        return bytes(field);
    }
    ByteBuilder &zeros(int n) { return bytes(QByteArray(n, '\0')); }
    ByteBuilder &fill(int n, char c) { return bytes(QByteArray(n, c)); }
    ByteBuilder &alignTo(int a)
    {
        while (m_data.size() % a)
            m_data.append('\0');
        return *this;
    }

    // Reserves a 32-bit field and returns its offset for patchU32.
    int placeholder32()
    {
        const int at = pos();
        u32(0);
        return at;
    }
    // Patches byte by byte: a fixture that patches past its end is a test
    // bug, and QByteArray's operator[] asserts on it in debug builds.
    ByteBuilder &patchU32(int at, quint32 v)
    {
        for (int i = 0; i < 4; ++i)
            m_data[at + i] = char((v >> (8 * i)) & 0xFF);
        return *this;
    }
    ByteBuilder &patchU16(int at, quint16 v)
    {
        m_data[at] = char(v & 0xFF);
        m_data[at + 1] = char(v >> 8);
        return *this;
    }
    ByteBuilder &patchU8(int at, quint8 v)
    {
        m_data[at] = char(v);
        return *this;
    }

private:
    template <typename T>
    ByteBuilder &le(T v)
    {
        uchar b[sizeof(T)];
        qToLittleEndian(v, b);
        return raw(b, sizeof(T));
    }
    ByteBuilder &raw(const void *p, int n)
    {
        m_data.append(static_cast<const char *>(p), n);
        return *this;
    }

    QByteArray m_data;
};

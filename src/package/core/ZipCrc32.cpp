#include "ZipCrc32.h"

#include <QtEndian>

#include <cstring>

namespace {

constexpr quint32 Polynomial = 0x04C11DB7u;
constexpr int SliceCount = 8;

struct Crc32Tables
{
    quint32 slices[SliceCount][256];

    Crc32Tables()
    {
        // Entry i: the bits of i reversed into the top byte, eight polynomial
        // steps, then all 32 bits reversed back.
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = reflectBits(i, 8) << 24;
            for (int step = 0; step < 8; ++step)
                c = (c & 0x80000000u) ? (c << 1) ^ Polynomial : (c << 1);
            slices[0][i] = reflectBits(c, 32);
        }
        // Slice k answers "the CRC of a byte followed by k zero bytes".
        for (int k = 1; k < SliceCount; ++k)
            for (int i = 0; i < 256; ++i)
                slices[k][i] = (slices[k - 1][i] >> 8) ^ slices[0][slices[k - 1][i] & 0xFF];
    }
};

const Crc32Tables &tables()
{
    static const Crc32Tables instance;
    return instance;
}

quint32 bytewise(const quint32 *table, quint32 crc, const uchar *p, qint64 n)
{
    while (n-- > 0)
        crc = (crc >> 8) ^ table[(crc ^ *p++) & 0xFF];
    return crc;
}

// Runs on the inverted register; caller applies the initial and final XOR.
quint32 sliced(quint32 crc, const uchar *p, qint64 n)
{
    const auto &t = tables().slices;
    while (n >= 8) {
        const quint32 lo = qFromLittleEndian<quint32>(p) ^ crc;
        const quint32 hi = qFromLittleEndian<quint32>(p + 4);
        crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
              t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
        p += 8;
        n -= 8;
    }
    return bytewise(t[0], crc, p, n);
}

} // namespace

quint32 reflectBits(quint32 value, int bits)
{
    quint32 out = 0;
    for (int i = 0; i < bits; ++i) {
        out = (out << 1) | (value & 1u);
        value >>= 1;
    }
    return out;
}

const quint32 *crc32Table()
{
    return tables().slices[0];
}

quint32 computeCrc32(const quint32 *table, const char *bytes, qint64 length)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes);
    if (!p || length <= 0)
        return 0;
    if (table == crc32Table())
        return ~sliced(0xFFFFFFFFu, p, length);
    return ~bytewise(table, 0xFFFFFFFFu, p, length);
}

quint32 updateCrc32(quint32 crc, const char *bytes, qint64 length)
{
    if (!bytes || length <= 0)
        return crc;
    return ~sliced(~crc, reinterpret_cast<const uchar *>(bytes), length);
}

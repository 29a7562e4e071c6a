#include "ZipCrc32.h"

#include <zlib.h>

#include <limits>

namespace {

constexpr quint32 Polynomial = 0x04C11DB7u;

struct Crc32Table
{
    quint32 entries[256];

    Crc32Table()
    {
        // Entry i: the bits of i reversed into the top byte, eight polynomial
        // steps, then all 32 bits reversed back.
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = reflectBits(i, 8) << 24;
            for (int step = 0; step < 8; ++step)
                c = (c & 0x80000000u) ? (c << 1) ^ Polynomial : (c << 1);
            entries[i] = reflectBits(c, 32);
        }
    }
};

quint32 bytewise(const quint32 *table, quint32 crc, const uchar *p, qint64 n)
{
    while (n-- > 0)
        crc = (crc >> 8) ^ table[(crc ^ *p++) & 0xFF];
    return crc;
}

// zlib's crc32 is this very CRC; it takes at most a uInt of bytes per call.
quint32 zlibUpdate(quint32 crc, const uchar *p, qint64 n)
{
    constexpr qint64 MaxPiece = std::numeric_limits<uInt>::max() & ~qint64(0xFFFF);
    while (n > 0) {
        const qint64 piece = qMin(n, MaxPiece);
        crc = quint32(crc32(uLong(crc), p, uInt(piece)));
        p += piece;
        n -= piece;
    }
    return crc;
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
    static const Crc32Table table;
    return table.entries;
}

quint32 computeCrc32(const quint32 *table, const char *bytes, qint64 length)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes);
    if (!p || length <= 0)
        return 0;
    if (table == crc32Table())
        return zlibUpdate(0, p, length);
    return ~bytewise(table, 0xFFFFFFFFu, p, length);
}

quint32 updateCrc32(quint32 crc, const char *bytes, qint64 length)
{
    if (!bytes || length <= 0)
        return crc;
    return zlibUpdate(crc, reinterpret_cast<const uchar *>(bytes), length);
}

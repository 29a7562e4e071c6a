#pragma once

#include <QtGlobal>

// CRC-32 of the zip format (ISO-HDLC: reflected polynomial 0xEDB88320,
// initial value and final complement 0xFFFFFFFF).

// Reverses the low `bits` bits of value.
quint32 reflectBits(quint32 value, int bits);

// The 256-entry byte table, built on first use and kept for the whole run.
const quint32 *crc32Table();

// CRC-32 of length bytes with the given byte table. With crc32Table() the
// work goes to zlib's crc32, which computes the same CRC; any other table is
// used bytewise.
quint32 computeCrc32(const quint32 *table, const char *bytes, qint64 length);

// Continues a CRC over more data: start from 0 and feed each chunk in order.
// updateCrc32(updateCrc32(0, a), b) equals the CRC of a followed by b.
quint32 updateCrc32(quint32 crc, const char *bytes, qint64 length);

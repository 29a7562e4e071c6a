#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// Bounds-checked little-endian reader for untrusted files.
//
// Works over a byte array or a random-access device, optionally restricted to
// a window of it (sub()). Every read is checked against the bytes really left;
// the first failed check makes the reader fail for good: later reads return
// zero or empty values and ok() stays false, so a loader checks once at its
// boundary and turns the failure into its own error text.
class CBinaryReader
{
public:
    CBinaryReader();
    explicit CBinaryReader(const QByteArray &data);
    // The device must be open and random-access; it is not owned.
    explicit CBinaryReader(QIODevice *device);

    bool ok() const { return m_ok; }
    // Marks the reader failed, e.g. when a loader finds a value out of range.
    void fail();
    // Position (relative to this reader's window) of the first failure, or -1.
    qint64 failOffset() const { return m_failOffset; }

    qint64 size() const { return m_size; }
    qint64 pos() const { return m_pos; }
    qint64 remaining() const { return m_size - m_pos; }
    bool atEnd() const { return m_pos >= m_size; }

    // True when n more bytes can be read; never fails the reader.
    bool canRead(qint64 n) const { return m_ok && n >= 0 && n <= remaining(); }
    // True when count records of recordSize bytes fit in what is left. Use it
    // before reserving anything from a count found in a file.
    bool canHold(qint64 count, qint64 recordSize) const;

    bool seek(qint64 offset);
    bool skip(qint64 n);

    quint8 u8();
    quint16 u16();
    quint32 u32();
    quint64 u64();
    qint8 i8() { return qint8(u8()); }
    qint16 i16() { return qint16(u16()); }
    qint32 i32() { return qint32(u32()); }
    qint64 i64() { return qint64(u64()); }
    float f32();

    // Exactly n bytes, or an empty array (and failure) when fewer are left.
    QByteArray bytes(qint64 n);
    bool read(char *target, qint64 n);
    // Bytes up to a NUL (consumed, not returned). Fails when no NUL is found
    // within maxLength bytes or before the end.
    QByteArray cstring(qint64 maxLength);
    // A fixed-size field of n bytes, cut at its first NUL.
    QByteArray fixedString(qint64 n);

    // A reader over [offset, offset + length) of this reader's window. An
    // out-of-range window gives a failed, empty reader and fails this one.
    CBinaryReader sub(qint64 offset, qint64 length);

    // Bytes read or skipped by every reader of the calling thread so far. A
    // loader's work on hostile input is held against the input's size with
    // it: a reader that looks at the same bytes once per record shows here
    // long before it shows on a clock.
    static quint64 bytesTaken();
    // Adds to that figure the bytes a loader pulled from a device itself (a
    // buffered front-to-back scan), so that its work is held to account too.
    static void countTaken(quint64 n);

private:
    bool take(qint64 n, char *target);

    QByteArray m_data;
    QIODevice *m_device = nullptr;
    qint64 m_base = 0;
    qint64 m_size = 0;
    qint64 m_pos = 0;
    qint64 m_failOffset = -1;
    bool m_ok = true;
};

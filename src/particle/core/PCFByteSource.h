#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cstring>

class QIODevice;

// The bytes of a particle file for the reader: a byte array held whole, or a
// device read in chunks through a window, so that reading a large file does
// not hold the whole file besides the document made from it.
//
// Every take is checked against the bytes really left (the file's size, not
// what the window holds); the first failed check makes the source fail for
// good, like CBinaryReader: later takes give zero or null.
class PCFByteSource
{
public:
    explicit PCFByteSource(const QByteArray &bytes);
    // Reads from the device's position to its end; not owned.
    explicit PCFByteSource(QIODevice *device);
    PCFByteSource(const PCFByteSource &) = delete;
    PCFByteSource &operator=(const PCFByteSource &) = delete;

    bool ok() const { return m_ok; }
    void fail();
    // Bytes of the input not taken yet.
    qint64 remaining() const { return m_size - position(); }
    // True when count records of recordSize bytes fit in what is left (a
    // negative count never fits).
    bool canHold(qint64 count, qint64 recordSize) const
    {
        return m_ok && count >= 0 && recordSize > 0 && count <= remaining() / recordSize;
    }

    // n bytes at the cursor, contiguous, or null when fewer are left. The
    // pointer is good until the next take.
    const char *take(qint64 n)
    {
        if (m_ok && n >= 0 && n <= m_end - m_cursor) {
            const char *at = m_cursor;
            m_cursor += n;
            return at;
        }
        return takeSlow(n);
    }
    // The bytes before the next NUL (which is taken too); null when no NUL
    // comes before the end. The pointer is good until the next take.
    const char *takeString(int *length);
    // Everything up to the first NUL or, without one, to the end (the NUL is
    // taken too); never fails.
    QByteArray takeLine();

    quint8 u8()
    {
        const char *at = take(1);
        return at ? quint8(*at) : 0;
    }
    quint16 u16()
    {
        const char *at = take(2);
        return at ? qFromLittleEndian<quint16>(at) : 0;
    }
    quint32 u32()
    {
        const char *at = take(4);
        return at ? qFromLittleEndian<quint32>(at) : 0;
    }
    qint32 i32() { return qint32(u32()); }
    float f32()
    {
        const quint32 bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    qint64 position() const { return m_base + (m_cursor - m_window); }
    const char *takeSlow(qint64 n);
    // Makes at least n bytes (as far as the input has them) stand at the
    // cursor; false when the input ends first.
    bool fill(qint64 n);

    QByteArray m_whole;
    QIODevice *m_device = nullptr;
    QByteArray m_buffer;
    // The window: m_window is at input offset m_base; m_cursor is the next
    // byte, m_end the end of what the window holds.
    const char *m_window = nullptr;
    const char *m_cursor = nullptr;
    const char *m_end = nullptr;
    qint64 m_base = 0;
    qint64 m_size = 0;
    bool m_ok = true;
};

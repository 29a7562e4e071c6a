#include "CBinaryReader.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>
#include <limits>

namespace {
thread_local quint64 t_bytesTaken = 0;
} // namespace

CBinaryReader::CBinaryReader() = default;

CBinaryReader::CBinaryReader(const QByteArray &data) : m_data(data), m_size(data.size()) {}

CBinaryReader::CBinaryReader(QIODevice *device) : m_device(device)
{
    if (!device || !device->isOpen() || !device->isReadable() || device->isSequential()) {
        m_device = nullptr;
        fail();
        return;
    }
    m_size = device->size();
}

void CBinaryReader::fail()
{
    if (m_ok)
        m_failOffset = m_pos;
    m_ok = false;
}

bool CBinaryReader::canHold(qint64 count, qint64 recordSize) const
{
    if (!m_ok || count < 0 || recordSize < 0)
        return false;
    if (recordSize == 0 || count == 0)
        return true;
    return count <= remaining() / recordSize;
}

bool CBinaryReader::seek(qint64 offset)
{
    if (!m_ok || offset < 0 || offset > m_size) {
        fail();
        return false;
    }
    m_pos = offset;
    return true;
}

bool CBinaryReader::skip(qint64 n)
{
    if (!canRead(n)) {
        fail();
        return false;
    }
    m_pos += n;
    t_bytesTaken += quint64(n);
    return true;
}

quint64 CBinaryReader::bytesTaken()
{
    return t_bytesTaken;
}

void CBinaryReader::countTaken(quint64 n)
{
    t_bytesTaken += n;
}

bool CBinaryReader::take(qint64 n, char *target)
{
    if (!canRead(n)) {
        fail();
        return false;
    }
    if (n == 0)
        return true;
    if (m_device) {
        if (!m_device->seek(m_base + m_pos) || m_device->read(target, n) != n) {
            fail();
            return false;
        }
    } else {
        std::memcpy(target, m_data.constData() + m_base + m_pos, size_t(n));
    }
    m_pos += n;
    t_bytesTaken += quint64(n);
    return true;
}

quint8 CBinaryReader::u8()
{
    uchar b[1];
    return take(1, reinterpret_cast<char *>(b)) ? b[0] : 0;
}

quint16 CBinaryReader::u16()
{
    uchar b[2];
    return take(2, reinterpret_cast<char *>(b)) ? qFromLittleEndian<quint16>(b) : 0;
}

quint32 CBinaryReader::u32()
{
    uchar b[4];
    return take(4, reinterpret_cast<char *>(b)) ? qFromLittleEndian<quint32>(b) : 0;
}

quint64 CBinaryReader::u64()
{
    uchar b[8];
    return take(8, reinterpret_cast<char *>(b)) ? qFromLittleEndian<quint64>(b) : 0;
}

float CBinaryReader::f32()
{
    const quint32 bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QByteArray CBinaryReader::bytes(qint64 n)
{
    if (!canRead(n) || n > qint64(std::numeric_limits<int>::max())) {
        fail();
        return QByteArray();
    }
    if (!m_device) {
        // Shares the backing array's storage where possible.
        QByteArray out = m_data.mid(int(m_base + m_pos), int(n));
        m_pos += n;
        t_bytesTaken += quint64(n);
        return out;
    }
    QByteArray out(int(n), Qt::Uninitialized);
    if (!take(n, out.data()))
        return QByteArray();
    return out;
}

bool CBinaryReader::read(char *target, qint64 n)
{
    return take(n, target);
}

QByteArray CBinaryReader::cstring(qint64 maxLength)
{
    QByteArray out;
    const qint64 limit = qMin(maxLength, remaining());
    for (qint64 i = 0; m_ok && i < limit; ++i) {
        const char c = char(u8());
        if (c == '\0')
            return out;
        out.append(c);
    }
    fail();
    return QByteArray();
}

QByteArray CBinaryReader::fixedString(qint64 n)
{
    QByteArray field = bytes(n);
    const int nul = field.indexOf('\0');
    if (nul >= 0)
        field.truncate(nul);
    return field;
}

CBinaryReader CBinaryReader::sub(qint64 offset, qint64 length)
{
    CBinaryReader out;
    if (!m_ok || offset < 0 || length < 0 || offset > m_size || length > m_size - offset) {
        fail();
        out.fail();
        return out;
    }
    out.m_data = m_data;
    out.m_device = m_device;
    out.m_base = m_base + offset;
    out.m_size = length;
    return out;
}

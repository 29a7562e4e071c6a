#include "CVPKTreeReader.h"

#include "CBinaryReader.h"

#include <QIODevice>

#include <cstring>
#include <limits>

namespace {
constexpr int Piece = 256 * 1024;
} // namespace

CVPKTreeReader::CVPKTreeReader(QIODevice *device, qint64 limit)
    : m_device(device)
    , m_left(device ? qMax<qint64>(0, limit) : 0)
{}

int CVPKTreeReader::fill(int wanted)
{
    while (m_end - m_pos < wanted && m_left > 0) {
        // Unconsumed bytes move to the front; the buffer grows only when
        // they fill it, so each refill reads at least a piece.
        if (m_pos > 0) {
            std::memmove(m_buffer.data(), m_buffer.constData() + m_pos, size_t(m_end - m_pos));
            m_consumed += m_pos;
            m_end -= m_pos;
            m_pos = 0;
        }
        if (m_buffer.size() - m_end < Piece) {
            const qint64 grown = qMax<qint64>(qint64(m_buffer.size()) * 2, m_end + Piece);
            m_buffer.resize(int(qMin<qint64>(grown, std::numeric_limits<int>::max() - 32)));
        }
        const qint64 room = qMin<qint64>(m_buffer.size() - m_end, m_left);
        const qint64 got = room > 0 ? m_device->read(m_buffer.data() + m_end, room) : 0;
        if (got <= 0) {
            m_left = 0;
            break;
        }
        CBinaryReader::countTaken(quint64(got));
        m_end += int(got);
        m_left -= got;
    }
    return m_end - m_pos;
}

const char *CVPKTreeReader::nextString(int *length)
{
    int scanned = 0;
    for (;;) {
        const int available = m_end - m_pos;
        const void *nul =
            std::memchr(m_buffer.constData() + m_pos + scanned, 0, size_t(available - scanned));
        if (nul) {
            const char *start = m_buffer.constData() + m_pos;
            *length = int(static_cast<const char *>(nul) - start);
            m_pos += *length + 1;
            return start;
        }
        // Only the new bytes are searched after a refill.
        scanned = available;
        if (fill(available + 1) == available) {
            // The input ends inside the string: the rest is the string. With
            // nothing left there is no string, not even an empty one.
            if (available == 0) {
                *length = 0;
                return nullptr;
            }
            const char *start = m_buffer.constData() + m_pos;
            *length = available;
            m_pos = m_end;
            return start;
        }
    }
}

const char *CVPKTreeReader::take(int n)
{
    if (n < 0 || fill(n) < n)
        return nullptr;
    const char *start = m_buffer.constData() + m_pos;
    m_pos += n;
    return start;
}

#include "PCFByteSource.h"

#include <QIODevice>

#include <limits>

namespace {

// What one read from the device asks for: large enough that the device's
// per-call cost vanishes, small enough to stay out of the memory figures.
constexpr qint64 Chunk = qint64(1) << 20;

} // namespace

PCFByteSource::PCFByteSource(const QByteArray &bytes)
    : m_whole(bytes)
{
    m_window = m_cursor = m_whole.constData();
    m_end = m_window + m_whole.size();
    m_size = m_whole.size();
}

PCFByteSource::PCFByteSource(QIODevice *device)
    : m_device(device)
{
    if (device && device->isReadable())
        m_size = qMax<qint64>(0, device->size() - device->pos());
    m_window = m_cursor = m_end = m_buffer.constData();
}

void PCFByteSource::fail()
{
    m_ok = false;
}

bool PCFByteSource::fill(qint64 n)
{
    const qint64 held = m_end - m_cursor;
    if (held >= n)
        return true;
    const qint64 left = remaining();
    if (!m_device || n > left)
        return false;
    const qint64 wanted = qMin(left, qMax(n, Chunk));
    // A byte array holds less than 2 GiB; a file cannot hold a longer record.
    if (wanted > std::numeric_limits<int>::max() - 64)
        return false;
    const qint64 offset = position();
    // What is still unread moves to the front; then the window grows if it
    // must and is filled from the device.
    if (held > 0)
        std::memmove(m_buffer.data(), m_cursor, size_t(held));
    if (wanted > m_buffer.size())
        m_buffer.resize(int(wanted));
    qint64 filled = held;
    while (filled < wanted) {
        const qint64 got = m_device->read(m_buffer.data() + filled, wanted - filled);
        if (got <= 0)
            break;
        filled += got;
    }
    m_base = offset;
    m_window = m_cursor = m_buffer.constData();
    m_end = m_window + filled;
    return filled >= n;
}

const char *PCFByteSource::takeSlow(qint64 n)
{
    if (!m_ok || n < 0 || !fill(n)) {
        fail();
        return nullptr;
    }
    const char *at = m_cursor;
    m_cursor += n;
    return at;
}

const char *PCFByteSource::takeString(int *length)
{
    qint64 searched = 0;
    while (m_ok) {
        const auto *nul = static_cast<const char *>(
            std::memchr(m_cursor + searched, 0, size_t(m_end - m_cursor - searched)));
        if (nul) {
            *length = int(nul - m_cursor);
            const char *at = m_cursor;
            m_cursor = nul + 1;
            return at;
        }
        searched = m_end - m_cursor;
        const qint64 left = remaining();
        // Twice as much each time, so that a long text is read in linear time.
        if (searched >= left || !fill(qMin(left, qMax(searched * 2, searched + Chunk))))
            break;
    }
    fail();
    return nullptr;
}

QByteArray PCFByteSource::takeLine()
{
    if (!m_ok)
        return QByteArray();
    qint64 searched = 0;
    for (;;) {
        const auto *nul = static_cast<const char *>(
            std::memchr(m_cursor + searched, 0, size_t(m_end - m_cursor - searched)));
        if (nul) {
            const QByteArray line(m_cursor, int(nul - m_cursor));
            m_cursor = nul + 1;
            return line;
        }
        searched = m_end - m_cursor;
        const qint64 left = remaining();
        if (searched >= left || !fill(qMin(left, qMax(searched * 2, searched + Chunk)))) {
            // No NUL: the line is the rest of the input.
            const QByteArray line(m_cursor, int(m_end - m_cursor));
            m_cursor = m_end;
            return line;
        }
    }
}

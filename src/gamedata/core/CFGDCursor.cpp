#include "CFGDCursor.h"

#include "FGDText.h"

#include <algorithm>
#include <cstring>

CFGDCursor::CFGDCursor(const QByteArray &text)
    : m_text(text)
    , m_data(m_text.constData())
    , m_size(m_text.size())
{}

bool CFGDCursor::startsWith(const char *prefix) const
{
    const int length = int(std::strlen(prefix));
    return length <= m_size - m_pos && std::memcmp(m_data + m_pos, prefix, size_t(length)) == 0;
}

bool CFGDCursor::startsWithNoCase(const char *prefix) const
{
    const int length = int(std::strlen(prefix));
    return length <= m_size - m_pos && qstrnicmp(m_data + m_pos, prefix, uint(length)) == 0;
}

void CFGDCursor::step(int count)
{
    m_pos = count >= m_size - m_pos ? m_size : m_pos + count;
}

int CFGDCursor::line() const
{
    return 1 + int(std::count(m_data, m_data + m_pos, '\n'));
}

bool CFGDCursor::atComment() const
{
    return m_pos + 1 < m_size && m_data[m_pos] == '/' && m_data[m_pos + 1] == '/';
}

void CFGDCursor::skipBlanks()
{
    while (m_pos < m_size) {
        if (FGD::isBlank(m_data[m_pos])) {
            ++m_pos;
        } else if (atComment()) {
            const void *feed = std::memchr(m_data + m_pos, '\n', size_t(m_size - m_pos));
            m_pos = feed ? int(static_cast<const char *>(feed) - m_data) : m_size;
        } else {
            break;
        }
    }
}

QByteArray CFGDCursor::readUntil(char stop)
{
    const int start = m_pos;
    const void *found = std::memchr(m_data + m_pos, stop, size_t(m_size - m_pos));
    m_pos = found ? int(static_cast<const char *>(found) - m_data) : m_size;
    return m_text.mid(start, m_pos - start);
}

QByteArray CFGDCursor::readWordUntilImpl(bool useStop, char stop)
{
    const int start = m_pos;
    while (m_pos < m_size && !FGD::isBlank(m_data[m_pos]) && !atComment() &&
           !(useStop && m_data[m_pos] == stop))
        ++m_pos;
    return m_text.mid(start, m_pos - start);
}

QByteArray CFGDCursor::readWord()
{
    return readWordUntilImpl(false, '\0');
}

QByteArray CFGDCursor::readWordUntil(char stop)
{
    return readWordUntilImpl(true, stop);
}

QByteArray CFGDCursor::readQuotedString()
{
    QByteArray result;
    while (at('"')) {
        step();
        result += readUntil('"');
        step();
        skipBlanks();
        if (!at('+'))
            break;
        step();
        skipBlanks();
        if (atEnd())
            break;
    }
    return result;
}

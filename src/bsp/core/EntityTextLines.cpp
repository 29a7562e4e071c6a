#include "EntityTextLines.h"

#include "functions.h"

#include <cstring>

namespace {

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r' || c == '\0';
}

} // namespace

EntityTextLines::EntityTextLines(const char *data, int size)
    : m_data(data)
    , m_size(data ? qMax(size, 0) : 0)
{}

int EntityTextLines::find(char c, int from, int &cache) const
{
    if (cache < from) {
        const void *found = std::memchr(m_data + from, c, size_t(m_size - from));
        cache = found ? int(static_cast<const char *>(found) - m_data) : m_size;
    }
    return cache;
}

int EntityTextLines::closeQuote(int at)
{
    const int close = find('"', at + 1, m_quote);
    if (close >= m_size || find('\0', at + 1, m_nul) < close)
        return -1;
    return close + 1;
}

QLatin1String EntityTextLines::next()
{
    const int start = m_at;
    int i = start;
    bool tokenStart = true;
    while (i < m_size && !isLineEnd(m_data[i])) {
        const char c = m_data[i];
        if (isAsciiSpace(c)) {
            tokenStart = true;
            ++i;
            continue;
        }
        if (!tokenStart) {
            ++i;
            continue;
        }
        tokenStart = false;
        if (c == '/' && i + 1 < m_size && m_data[i + 1] == '/') {
            while (i < m_size && !isLineEnd(m_data[i]))
                ++i;
            break;
        }
        const int close = c == '"' ? closeQuote(i) : -1;
        if (close < 0) {
            ++i;
            continue;
        }
        // The next token may start right after the closing quote.
        i = close;
        tokenStart = true;
    }
    const QLatin1String line(m_data + start, i - start);
    if (i < m_size) {
        const bool pair = m_data[i] == '\r' && i + 1 < m_size && m_data[i + 1] == '\n';
        i += pair ? 2 : 1;
    }
    m_at = i;
    return line;
}

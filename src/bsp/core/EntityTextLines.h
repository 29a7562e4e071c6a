#pragma once

#include <QLatin1String>

// The lines of entity text held in memory. A line ends at LF, CR, a CR LF
// pair or a NUL byte, except inside a quoted token: as the engine reads it, a
// token that starts with a double quote runs to the next double quote, line
// ends included, so a value written over several lines stays one line here
// (its line ends kept as they were). A quote with no closing quote before the
// next NUL (or the end) opens nothing. "//" where a token would start runs to
// the end of its line. Every byte is looked at a bounded number of times.
class EntityTextLines
{
public:
    // The bytes must outlive the reader.
    EntityTextLines(const char *data, int size);

    bool atEnd() const { return m_at >= m_size; }
    // The next line without its terminator, a view into the bytes. Empty at
    // the end.
    QLatin1String next();

private:
    // The first position at or after `from` holding `c`, or the size; the
    // answer is kept, so positions asked for in rising order cost one pass.
    int find(char c, int from, int &cache) const;
    // The end of the quoted token opening at `at`, just past its closing
    // quote, or -1 when it does not close before a NUL or the end.
    int closeQuote(int at);

    const char *m_data;
    int m_size;
    int m_at = 0;
    int m_quote = -1;
    int m_nul = -1;
};

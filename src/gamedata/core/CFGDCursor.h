#pragma once

#include <QByteArray>

// A read position over the bytes of an entity definition text with the
// token rules of the format. The position never passes the end, and every
// test of the byte there is false at the end.
class CFGDCursor
{
public:
    explicit CFGDCursor(const QByteArray &text);

    int pos() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_size; }
    bool at(char c) const { return m_pos < m_size && m_data[m_pos] == c; }
    // The bytes at the position begin with `prefix` (case-sensitive).
    bool startsWith(const char *prefix) const;
    // The same ignoring ASCII case.
    bool startsWithNoCase(const char *prefix) const;
    void step(int count = 1);
    // 1-based line of the position, for messages.
    int line() const;

    // Passes blank bytes and "//" comments up to, not including, their line
    // feed. A single "/" stops it.
    void skipBlanks();
    // Up to, not including, the stop byte or the end; the position stays on
    // the stop byte.
    QByteArray readUntil(char stop);
    // Up to the first blank or "//".
    QByteArray readWord();
    // As readWord, also ending before the stop byte.
    QByteArray readWordUntil(char stop);
    // "ab" + "cd" gives abcd; the position ends after the blanks that follow.
    // Empty, without moving, when the position is not on a double quote.
    QByteArray readQuotedString();

private:
    bool atComment() const;
    QByteArray readWordUntilImpl(bool useStop, char stop);

    QByteArray m_text;
    const char *m_data = nullptr;
    int m_size = 0;
    int m_pos = 0;
};

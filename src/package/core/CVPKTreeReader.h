#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// Reads the strings and records of a VPK directory tree from a device, front
// to back, through a buffer of a few hundred kilobytes: a directory of
// hundreds of thousands of files is never held whole. Strings end at a NUL
// or at the end of the input; a string longer than the buffer makes it grow,
// so every byte is looked at a bounded number of times.
class CVPKTreeReader
{
public:
    // Reads from the device's current position, at most `limit` bytes.
    CVPKTreeReader(QIODevice *device, qint64 limit);

    // The next string, valid until the next call (without its NUL); null,
    // with length 0, at the end of the input.
    const char *nextString(int *length);
    // Exactly n bytes, valid until the next call; null (and nothing
    // consumed) when fewer are left.
    const char *take(int n);
    // Bytes consumed since the start.
    qint64 pos() const { return m_consumed + m_pos; }

private:
    // Makes at least `wanted` unconsumed bytes available unless the input
    // ends first; the number available.
    int fill(int wanted);

    QIODevice *m_device;
    qint64 m_left;
    QByteArray m_buffer;
    int m_pos = 0;
    int m_end = 0;
    // Bytes dropped from the front of the buffer so far.
    qint64 m_consumed = 0;
};

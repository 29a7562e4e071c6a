#pragma once

#include "CBinaryReader.h"
#include "FileBytes.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Checks a fuzz target makes of a reader, and the devices and files it hands
// the reader. A failed check ends the process with a message on stderr (a
// finding under libFuzzer, a failed replay test otherwise): the targets run
// in processes that exist for this one purpose.
namespace FuzzCheck {

// Drops the readers' debug and warning lines (a hostile input makes many);
// a fatal message still ends the process.
void quietMessages();

[[noreturn]] void failure(const char *what, const QString &detail = QString());

inline void require(bool ok, const char *what)
{
    if (!ok)
        failure(what);
}

// Work held against the input: `used` may be at most
// multiple * inputSize + constant. A reader that rescans per record breaks
// this bound on inputs of a few kilobytes.
void requireLinear(quint64 used, qint64 inputSize, quint64 multiple, quint64 constant,
                   const char *what);

// Bytes taken through every CBinaryReader of this thread since construction.
class ReaderWork
{
public:
    quint64 taken() const { return CBinaryReader::bytesTaken() - m_start; }

private:
    quint64 m_start = CBinaryReader::bytesTaken();
};

// A read-only, unbuffered buffer over the input that counts the bytes the
// reader pulls through it.
class CountingBuffer : public QBuffer
{
public:
    explicit CountingBuffer(const QByteArray &data, QIODevice::OpenMode extraMode = {});
    quint64 bytesRead() const { return m_read; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;

private:
    QByteArray m_data;
    quint64 m_read = 0;
};

// A writable device that keeps nothing: file contents are read through it
// without holding them in memory.
class DiscardingDevice : public QIODevice
{
public:
    DiscardingDevice() { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    qint64 written() const { return m_written; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override
    {
        m_written += size;
        return size;
    }

private:
    qint64 m_written = 0;
};

// The input as a file of the given name in a private temporary folder, for
// readers that open paths.
class InputFile
{
public:
    InputFile(const QByteArray &bytes, const QString &name);
    QString path() const { return m_path; }
    // Writes another file beside it.
    bool add(const QString &name, const QByteArray &bytes) const
    {
        return writeFile(m_dir.filePath(name), bytes);
    }
    // The file's bytes as they are now.
    QByteArray contents() const { return readFile(m_path); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

} // namespace FuzzCheck

#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

namespace FuzzCheck {

namespace {

void dropMessage(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtFatalMsg)
        failure("fatal message", text);
}

} // namespace

void quietMessages()
{
    qInstallMessageHandler(dropMessage);
}

void failure(const char *what, const QString &detail)
{
    std::fprintf(stderr, "fuzz check failed: %s%s%s\n", what, detail.isEmpty() ? "" : ": ",
                 qPrintable(detail));
    std::fflush(stderr);
    std::abort();
}

void requireLinear(quint64 used, qint64 inputSize, quint64 multiple, quint64 constant,
                   const char *what)
{
    const quint64 bound = multiple * quint64(qMax<qint64>(0, inputSize)) + constant;
    if (used > bound)
        failure(what, QStringLiteral("%1 bytes for an input of %2 (bound %3)")
                          .arg(used)
                          .arg(inputSize)
                          .arg(bound));
}

CountingBuffer::CountingBuffer(const QByteArray &data, QIODevice::OpenMode extraMode)
    : m_data(data)
{
    setBuffer(&m_data);
    // Unbuffered: every byte the reader asks for passes readData once.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered | extraMode);
}

qint64 CountingBuffer::readData(char *data, qint64 maxSize)
{
    const qint64 n = QBuffer::readData(data, maxSize);
    if (n > 0)
        m_read += quint64(n);
    return n;
}

InputFile::InputFile(const QByteArray &bytes, const QString &name)
{
    require(m_dir.isValid(), "temporary folder");
    m_path = m_dir.filePath(name);
    require(add(name, bytes), "writing the input file");
}

} // namespace FuzzCheck

#include "FileRangeCopy.h"

#include "DurableFile.h"
#include "functions.h"

#include <QFile>

#include <limits>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <unistd.h>
#endif

namespace {

constexpr qint64 Piece = 1 << 20;
// Pieces after which a copy with writeback asks the disk to start.
constexpr qint64 WritebackPiece = 16 << 20;
// The step of copyDevice(), in which its messages count what is left.
constexpr qint64 CopyDeviceStep = 1024;

// copyDevice()'s text for a copy of `length` bytes that went wrong after
// `done` of them.
bool failAfter(const char *text, qint64 length, qint64 done, QString *error)
{
    const qint64 remaining = length - done / CopyDeviceStep * CopyDeviceStep;
    if (error)
        *error = QString::fromLatin1(text).arg(quint64(remaining)).arg(quint64(length));
    return false;
}

#ifdef Q_OS_LINUX
enum class KernelCopy
{
    Done,
    Unavailable, // nothing copied; the caller copies through this process
    ReadFailed,
    WriteFailed,
};

// Copies between the two files inside the kernel; `done` counts what arrived.
KernelCopy copyInKernel(QFile &source, qint64 start, QFileDevice &target, qint64 length,
                        bool writeback, qint64 &done)
{
    done = 0;
    // Qt's buffer goes out first: the copy lands behind it.
    if (!target.flush())
        return KernelCopy::WriteFailed;
    const qint64 at = target.pos();
    loff_t in = start;
    loff_t out = at;
    while (done < length) {
        const size_t piece =
            size_t(qMin<qint64>(length - done, writeback ? WritebackPiece : 1 << 30));
        const ssize_t n = ::copy_file_range(source.handle(), &in, target.handle(), &out, piece, 0);
        if (n < 0 && done == 0 &&
            (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL ||
             errno == EBADF || errno == EPERM))
            return KernelCopy::Unavailable;
        if (n < 0 && (errno == ENOSPC || errno == EFBIG || errno == EDQUOT))
            return KernelCopy::WriteFailed;
        if (n <= 0) {
            target.seek(at + done);
            return KernelCopy::ReadFailed;
        }
        if (writeback)
            DurableFile::startWriteback(target, at + done, at + done + n);
        done += n;
    }
    return target.seek(at + done) ? KernelCopy::Done : KernelCopy::WriteFailed;
}
#endif

} // namespace

namespace FileRangeCopy {

bool copy(QFile &source, qint64 start, qint64 length, QIODevice *target, QString *error,
          bool writeback)
{
    if (length <= 0)
        return true;
    if (!target)
        return failAfter(DeviceError::ShortWrite, length, 0, error);
#ifdef Q_OS_LINUX
    auto *kernelTarget = qobject_cast<QFileDevice *>(target);
    if (kernelTarget && kernelTarget->handle() >= 0 && source.handle() >= 0) {
        qint64 done = 0;
        switch (copyInKernel(source, start, *kernelTarget, length, writeback, done)) {
        case KernelCopy::Done:
            return true;
        case KernelCopy::ReadFailed:
            return failAfter(DeviceError::ShortRead, length, done, error);
        case KernelCopy::WriteFailed:
            return failAfter(DeviceError::ShortWrite, length, done, error);
        case KernelCopy::Unavailable:
            break;
        }
    }
#endif
    if (!source.seek(start))
        return failAfter(DeviceError::ShortRead, length, 0, error);
    auto *file = qobject_cast<QFileDevice *>(target);
    const qint64 at = target->pos();
    qint64 writtenBack = 0;
    QByteArray buffer(int(qMin(length, Piece)), Qt::Uninitialized);
    for (qint64 done = 0; done < length;) {
        if (writeback && file && done - writtenBack >= WritebackPiece) {
            DurableFile::startWriteback(*file, at + writtenBack, at + done);
            writtenBack = done;
        }
        const qint64 wanted = qMin<qint64>(length - done, buffer.size());
        const qint64 got = source.read(buffer.data(), wanted);
        if (got > 0) {
            const qint64 written = target->write(buffer.constData(), got);
            if (written != got)
                return failAfter(DeviceError::ShortWrite, length, done + qMax<qint64>(written, 0),
                                 error);
        }
        if (got != wanted)
            return failAfter(DeviceError::ShortRead, length, done + qMax<qint64>(got, 0), error);
        done += got;
    }
    return true;
}

bool read(QFile &source, qint64 start, qint64 length, QByteArray &out, QString *error)
{
    if (length < 0 || length > std::numeric_limits<int>::max())
        return failAfter(DeviceError::ShortRead, qMax<qint64>(length, 0), 0, error);
    out.resize(int(length));
    if (length == 0)
        return true;
    if (!source.seek(start))
        return failAfter(DeviceError::ShortRead, length, 0, error);
    const qint64 got = source.read(out.data(), length);
    return got == length || failAfter(DeviceError::ShortRead, length, qMax<qint64>(got, 0), error);
}

} // namespace FileRangeCopy

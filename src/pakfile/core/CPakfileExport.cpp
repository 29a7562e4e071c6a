#include "CPakfileExport.h"

#include "BspRecords.h"
#include "CDelegateBSP.h"
#include "CSaveFile.h"
#include "PakfileErrors.h"

#include <QtEndian>

namespace Z = ZipFormat;

namespace {

// Passes everything written to it on to the target except the last `keep`
// bytes, which stay in `held` until the writer takes them.
class TailHoldingDevice : public QIODevice
{
public:
    TailHoldingDevice(QIODevice *target, int keep)
        : m_target(target)
        , m_keep(keep)
    {}

    QByteArray held;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        held.append(data, int(length));
        // Passing on in steps of at least `keep` keeps the copying linear.
        if (held.size() > 2 * m_keep) {
            const int pass = held.size() - m_keep;
            if (m_target->write(held.constData(), pass) != pass)
                return -1;
            held.remove(0, pass);
        }
        return length;
    }

private:
    QIODevice *m_target;
    int m_keep;
};

} // namespace

QByteArray CPakfileExport::comment(const QString &mapBaseName, const QByteArray &previousComment)
{
    QByteArray text = "Pakfile extracted from " + mapBaseName.toLatin1() + ".bsp";
    if (!previousComment.isEmpty())
        text += " with previous comment \"" + previousComment + '"';
    return text;
}

int CPakfileExport::findEndRecord(const QByteArray &tail)
{
    const int lowest = qMax(0, tail.size() - Z::MaxEndRecordSpan);
    for (int at = tail.size() - Z::EndRecordSize; at >= lowest; --at) {
        const char *record = tail.constData() + at;
        if (qFromLittleEndian<quint32>(record) != Z::EndSignature)
            continue;
        const int commentLength = qFromLittleEndian<quint16>(record + Z::EndRecordSize - 2);
        if (at + Z::EndRecordSize + commentLength == tail.size())
            return at;
    }
    return -1;
}

CPakfileExport::Result CPakfileExport::write(CDelegateBSP &map, const QString &target,
                                             const QByteArray &newComment, QString *error)
{
    const auto failed = [error](const QString &text) {
        if (error)
            *error = text;
        return Result::CopyFailed;
    };
    CSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return failed(
            out.failure(QString::fromLatin1(PakfileError::UnableToOpenQuoted).arg(target)));
    TailHoldingDevice tap(&out, Z::MaxEndRecordSpan);
    tap.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (!map.writeStored(&tap, BspFormat::PakfileLump)) {
        const QString message = out.failure(map.lastError());
        out.cancelWriting();
        return failed(message);
    }

    QByteArray tail = tap.held;
    Result result = Result::Written;
    const int end = findEndRecord(tail);
    if (newComment.size() > MaxCommentLength) {
        result = Result::CommentTooLong;
    } else if (end < 0) {
        result = Result::NoEndRecord;
    } else {
        tail.truncate(end + Z::EndRecordSize - 2);
        uchar length[2];
        qToLittleEndian(quint16(newComment.size()), length);
        tail.append(reinterpret_cast<const char *>(length), 2).append(newComment);
    }
    if (out.write(tail) != tail.size() || !out.commit()) {
        const QString message = out.folderOr(
            QString::fromLatin1(PakfileError::UnableToFinish).arg(target, out.errorString()));
        out.cancelWriting();
        return failed(message);
    }
    return result;
}

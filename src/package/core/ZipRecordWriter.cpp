#include "ZipRecordWriter.h"

#include <QDataStream>

namespace Z = ZipFormat;

namespace {

// The fields both headers share, from the flags to the extra field length.
void writeSharedFields(QDataStream &s, const CZipLocalFileHeader &h)
{
    s << h.flags << h.compression << h.time << h.date << h.crc32 << h.compressedSize
      << h.uncompressedSize << h.fileNameLength << h.extraFieldLength;
}

void writeBytes(QDataStream &s, const QByteArray &bytes)
{
    s.writeRawData(bytes.constData(), bytes.size());
}

struct RecordStream
{
    explicit RecordStream(QByteArray &out, int size)
        : stream(&out, QIODevice::WriteOnly)
    {
        out.reserve(size);
        stream.setByteOrder(QDataStream::LittleEndian);
    }
    QDataStream stream;
};

} // namespace

namespace ZipRecordWriter {

QByteArray localHeader(const CZipLocalFileHeader &h)
{
    QByteArray out;
    RecordStream r(out, Z::LocalHeaderSize + h.fileName.size() + h.extraField.size());
    r.stream << Z::LocalSignature << h.versionNeeded;
    writeSharedFields(r.stream, h);
    writeBytes(r.stream, h.fileName);
    writeBytes(r.stream, h.extraField);
    return out;
}

QByteArray centralHeader(const CZipCentralDirectoryHeader &h)
{
    QByteArray out;
    RecordStream r(out, Z::CentralHeaderSize + h.fileName.size() + h.extraField.size() +
                            h.comment.size());
    r.stream << Z::CentralSignature << h.versionMadeBy << h.versionNeeded;
    writeSharedFields(r.stream, h);
    r.stream << h.commentLength << h.diskNumberStart << h.internalAttributes << h.externalAttributes
             << h.localHeaderOffset;
    writeBytes(r.stream, h.fileName);
    writeBytes(r.stream, h.extraField);
    writeBytes(r.stream, h.comment);
    return out;
}

QByteArray endRecord(quint16 diskNumber, quint16 directoryDisk, quint16 entriesOnDisk,
                     quint16 totalEntries, quint32 directorySize, quint32 directoryOffset,
                     const QByteArray &comment)
{
    QByteArray out;
    RecordStream r(out, Z::EndRecordSize + comment.size());
    r.stream << Z::EndSignature << diskNumber << directoryDisk << entriesOnDisk << totalEntries
             << directorySize << directoryOffset << quint16(comment.size());
    writeBytes(r.stream, comment);
    return out;
}

} // namespace ZipRecordWriter

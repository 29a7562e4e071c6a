#pragma once

#include "BspRecords.h"

#include <QByteArray>

// The records of a zip archive as bytes, little-endian, each ready to be
// written in one piece. The record's own length fields are written as they
// stand: the caller keeps them equal to the sizes of the arrays.
namespace ZipRecordWriter {

// Local file header: fixed part, file name and extra field.
QByteArray localHeader(const CZipLocalFileHeader &header);
// Central directory entry: fixed part, file name, extra field and comment.
QByteArray centralHeader(const CZipCentralDirectoryHeader &header);
// End of central directory record with its comment.
QByteArray endRecord(quint16 diskNumber, quint16 directoryDisk, quint16 entriesOnDisk,
                     quint16 totalEntries, quint32 directorySize, quint32 directoryOffset,
                     const QByteArray &comment);

} // namespace ZipRecordWriter

#include "LumpFile.h"

#include "BspErrors.h"
#include "BspRecords.h"
#include "CBinaryReader.h"
#include "CDelegateBSP.h"
#include "CPath.h"
#include "PackageErrors.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace E = BspErrors;
namespace F = BspFormat;

namespace LumpFile {

QByteArray headerBytes(const Header &header)
{
    QByteArray bytes(HeaderSize, '\0');
    uchar *out = reinterpret_cast<uchar *>(bytes.data());
    const qint32 fields[] = {header.headerSize, header.index, header.version, header.length,
                             header.mapRevision};
    for (qint32 field : fields) {
        qToLittleEndian(field, out);
        out += 4;
    }
    return bytes;
}

Header headerFor(const CDelegateBSP &map, int index)
{
    Header header;
    header.index = index;
    header.version = map.lumpInfo(index, 3);
    header.length = map.lumpInfo(index, 2);
    header.mapRevision = map.mapRevision();
    return header;
}

bool parseHeader(const QByteArray &bytes, Header &header)
{
    CBinaryReader in(bytes);
    header.headerSize = in.i32();
    header.index = in.i32();
    header.version = in.i32();
    header.length = in.i32();
    header.mapRevision = in.i32();
    return in.ok();
}

bool extract(CDelegateBSP &map, int index, QIODevice *device, bool asLumpFile, QString &error)
{
    if (asLumpFile) {
        const QByteArray header = headerBytes(headerFor(map, index));
        if (!device || device->write(header) != header.size()) {
            error = QString::fromLatin1(PackageErrors::WriteIncomplete);
            return false;
        }
    }
    // The map moves lump 35's game-lump offsets to the device's position, so
    // in a lump file they count from the file's first byte.
    if (!map.writeCurrent(device, map.node(index))) {
        error = map.lastError();
        return false;
    }
    return true;
}

// The device's file name in quotes, or "The file" for bytes without one.
static QString fileLabel(const QIODevice *device)
{
    const auto *file = qobject_cast<const QFileDevice *>(device);
    const QString name = file ? QFileInfo(file->fileName()).fileName() : QString();
    return name.isEmpty() ? QStringLiteral("The file") : QLatin1Char('"') + name + QLatin1Char('"');
}

QString notLumpFile(const char *text, const QIODevice *device)
{
    return QString::fromLatin1(text).arg(fileLabel(device));
}

QString lumpFileCut(const char *text, const QIODevice *device, qint64 declared, qint64 held)
{
    // In one pass: a name holding "%2" stays as it is.
    return QString::fromLatin1(text).arg(fileLabel(device), QString::number(declared),
                                         QString::number(held));
}

bool read(QIODevice *device, int index, Header &header, QByteArray &data, QString &error)
{
    if (!device || !device->isReadable()) {
        error = QString::fromLatin1(E::UnexpectedEndOfFile);
        return false;
    }
    const qint64 available = device->size() - device->pos();
    if (!parseHeader(device->read(HeaderSize), header)) {
        error = notLumpFile(E::NotLumpFile, device);
        return false;
    }
    // A header with nothing after it cannot be a lump file either.
    if (device->atEnd()) {
        error = QString::fromLatin1(E::UnexpectedEndOfFile);
        return false;
    }
    if (header.headerSize != HeaderSize) {
        error = QString::fromLatin1(E::UnexpectedStartOfData);
        return false;
    }
    if (available != qint64(header.length) + HeaderSize) {
        error = available < qint64(header.length) + HeaderSize
                    ? lumpFileCut(E::LumpFileCut, device, header.length, available - HeaderSize)
                    : notLumpFile(E::NotLumpFile, device);
        return false;
    }
    if (header.index != index) {
        error = QString::fromLatin1(E::LumpTypeMismatch);
        return false;
    }
    // The size was checked against the file, so this is what really is there.
    data = device->read(header.length);
    if (data.size() != header.length) {
        error = QString::fromLatin1(E::UnexpectedEndOfData);
        return false;
    }
    return true;
}

bool read(const QByteArray &file, int index, Header &header, QByteArray &data, QString &error)
{
    QByteArray copy = file;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return read(&buffer, index, header, data, error);
}

bool stage(CDelegateBSP &map, const Header &header, QByteArray data, QString &error)
{
    if (map.lumpInfo(header.index, 3) != header.version) {
        error = QString::fromLatin1(E::LumpVersionMismatch);
        return false;
    }
    if (header.index == F::GameLumpLump)
        rebaseGameLumps(data, HeaderSize);
    if (!map.setData(data, false, map.node(header.index))) {
        error = map.lastError();
        return false;
    }
    return true;
}

bool stageRaw(CDelegateBSP &map, int index, const QString &path, QString &error)
{
    // The encoding in which the map decodes a referenced file's name.
    if (!map.setData(QFile::encodeName(path), true, map.node(index))) {
        error = map.lastError();
        return false;
    }
    return true;
}

bool rebaseGameLumps(QByteArray &lump, qint64 start)
{
    CBinaryReader in(lump);
    const qint32 count = in.i32();
    if (!in.ok() || count < 0 || !in.canHold(count, F::GameLumpRecordSize))
        return false;
    const qint64 end = start + lump.size();
    uchar *records = reinterpret_cast<uchar *>(lump.data()) + 4;
    for (qint32 i = 0; i < count; ++i) {
        uchar *offsetField = records + qsizetype(i) * F::GameLumpRecordSize + 8;
        const qint32 offset = qFromLittleEndian<qint32>(offsetField);
        const qint32 length = qFromLittleEndian<qint32>(offsetField + 4);
        // Only what lies inside the lump moves with it.
        if (offset >= start && length >= 0 && qint64(offset) + length <= end)
            qToLittleEndian(qint32(offset - start), offsetField);
    }
    return true;
}

QString extractionFileName(const QString &mapTitle, int index, const QString &lumpName,
                           bool useLumpName, bool asLumpFile)
{
    QString name = CPath(mapTitle, true).fileName(false) + QLatin1Char('_');
    name += useLumpName ? lumpName : QStringLiteral("l_%1").arg(index);
    if (asLumpFile)
        name += QLatin1String(".lmp");
    return name;
}

QString fourCCText(qint32 code)
{
    QString text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const uchar byte = uchar(quint32(code) >> shift);
        if (shift != 24)
            text += QLatin1String(" , ");
        text += QLatin1Char('\'') + QChar(byte) + QLatin1String("' (") + QString::number(byte) +
                QLatin1Char(')');
    }
    return text;
}

} // namespace LumpFile

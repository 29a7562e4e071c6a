#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class CDelegateBSP;
class QIODevice;

// Lump files (".lmp"): one lump of a compiled map on its own, after a 20-byte
// header of five little-endian signed 32-bit integers. A valid lump file has
// header size 20 and is exactly lump length + 20 bytes long.
//
// Lump 35 (the game lumps) holds a directory of offsets. Within a map they
// are absolute; the map delegate moves them to wherever it copies the lump.
// A raw extraction therefore holds them relative to its own first byte, a
// lump file relative to the file (so 20 further on), and staging a lump file
// moves them back by 20.
namespace LumpFile {

constexpr int HeaderSize = 20;

struct Header
{
    qint32 headerSize = HeaderSize;
    qint32 index = 0;
    qint32 version = 0;
    qint32 length = 0;
    qint32 mapRevision = 0;
};

// The five integers, little-endian.
QByteArray headerBytes(const Header &header);
// The header the map information window writes for a lump of the open map:
// its index, version and length from the map's directory and the map
// revision.
Header headerFor(const CDelegateBSP &map, int index);
// The first 20 bytes as a header; false when there are fewer.
bool parseHeader(const QByteArray &bytes, Header &header);

// The lump's current bytes (pending data before stored data) at the device's
// position, after the header when asLumpFile is set. False with the map's
// error text in `error`.
bool extract(CDelegateBSP &map, int index, QIODevice *device, bool asLumpFile, QString &error);

// One of the NotLumpFile texts for the device's file.
QString notLumpFile(const char *text, const QIODevice *device);
// One of the LumpFileCut texts for the device's file, whose header declares
// `declared` bytes of lump where `held` follow it.
QString lumpFileCut(const char *text, const QIODevice *device, qint64 declared, qint64 held);

// Reads a lump file meant to replace lump `index` from the device's start.
// The checks, in order, each with its own message: fewer bytes than the
// header (NotLumpFile), nothing follows the header ("Unexpected end of
// file"), header size not 20 ("Unexpected start of data"), file size below
// length + 20 (LumpFileCut) or above it (NotLumpFile), another lump index
// ("Lump type mismatch"). The map revision is not looked at. On success
// `data` holds the bytes after the header.
bool read(QIODevice *device, int index, Header &header, QByteArray &data, QString &error);
bool read(const QByteArray &file, int index, Header &header, QByteArray &data, QString &error);

// Stages the data of a lump file as the new contents of its lump. Refused
// with "Lump version mismatch" when the map's version of the lump differs
// from the header's. Lump 35's game-lump offsets are moved back by the
// header's 20 bytes first.
bool stage(CDelegateBSP &map, const Header &header, QByteArray data, QString &error);
// Stages a local file as the new contents of lump `index`; the map reads it
// when it is written.
bool stageRaw(CDelegateBSP &map, int index, const QString &path, QString &error);

// Moves the game-lump offsets of lump 35's bytes that point inside the lump
// (taken to start at `start`) so that they count from the lump's first byte;
// other offsets are kept. False, changing nothing, when the directory does
// not fit in the bytes.
bool rebaseGameLumps(QByteArray &lump, qint64 start);

// Name of the file an extraction writes: "<map>_l_<index>" or, with
// useLumpName, "<map>_<lump name>", with ".lmp" for a lump file. The map part
// is the base name (without extension) of mapTitle.
QString extractionFileName(const QString &mapTitle, int index, const QString &lumpName,
                           bool useLumpName, bool asLumpFile);

// A four-character code (first stored byte in the top 8 bits) as
// "'V' (86) , 'B' (66) , ...": each byte as a character and as a number.
QString fourCCText(qint32 code);

} // namespace LumpFile

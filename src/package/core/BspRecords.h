#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Layout constants and in-memory records of compiled maps and of the zip
// archive (the pakfile) that lump 40 holds. The map reader fills them; the
// map rewrite reuses them to write the file back.
namespace BspFormat {
constexpr qint32 Ident = 0x50534256; // "VBSP"
constexpr int MinVersion = 19;
constexpr int MaxVersion = 21;
// A version-21 file whose lump records turn out to be in the older layout.
constexpr int InternalVersionLayoutA = 22;
constexpr int LumpCount = 64;
constexpr int LumpRecordSize = 16;
constexpr int HeaderSize = 4 + 4 + LumpCount * LumpRecordSize + 4; // 1036
// Compilers number lump versions in single digits; an offset or a length
// read as a version is far larger.
constexpr qint32 MaxLumpVersion = 255;
constexpr int GameLumpLump = 35;
constexpr int PakfileLump = 40;
constexpr int TexdataStringLump = 43;
constexpr int TexdataStringTableLump = 44;
constexpr int EntityLump = 0;
constexpr int GameLumpRecordSize = 16;
constexpr qint32 StaticPropGameLumpId = 0x73707270; // "sprp"
constexpr int StaticPropNameSize = 128;
} // namespace BspFormat

namespace ZipFormat {
constexpr quint32 LocalSignature = 0x04034b50;
constexpr quint32 CentralSignature = 0x02014b50;
constexpr quint32 EndSignature = 0x06054b50;
constexpr int LocalHeaderSize = 30;
constexpr int CentralHeaderSize = 46;
constexpr int EndRecordSize = 22;
// End record plus the longest comment: the end record lies in this tail.
constexpr int MaxEndRecordSpan = EndRecordSize + 0xFFFF;
// Flag bit 3: sizes and CRC follow the data and are zero in the local header.
constexpr quint16 FlagDataDescriptor = 0x0008;
// Flag bits 0 and 6: encrypted data, which no fresh CRC can be checked against.
constexpr quint16 FlagsEncrypted = 0x0001 | 0x0040;
constexpr quint16 MethodStored = 0;
} // namespace ZipFormat

struct CBspLump
{
    qint32 offset = 0;
    qint32 length = 0;
    qint32 version = 0;
    qint8 fourCC[4] = {0, 0, 0, 0};
};

struct CGameLump
{
    qint32 id = 0;
    quint16 flags = 0;
    quint16 version = 0;
    qint32 offset = 0;
    qint32 length = 0;
    // The game lump's bytes, read at open.
    QByteArray data;
};

struct CZipLocalFileHeader
{
    quint16 versionNeeded = 10;
    quint16 flags = 0;
    quint16 compression = 0;
    quint16 time = 0;
    quint16 date = 0;
    quint32 crc32 = 0;
    quint32 compressedSize = 0;
    quint32 uncompressedSize = 0;
    quint16 fileNameLength = 0;
    quint16 extraFieldLength = 0;
    QByteArray fileName;
    QByteArray extraField;
};

struct CZipCentralDirectoryHeader : CZipLocalFileHeader
{
    quint16 versionMadeBy = 20;
    quint16 commentLength = 0;
    quint16 diskNumberStart = 0;
    quint16 internalAttributes = 0;
    quint32 externalAttributes = 0;
    quint32 localHeaderOffset = 0;
    QByteArray comment;
};

struct CPakfileEntry
{
    CZipLocalFileHeader local;
    CZipCentralDirectoryHeader central;
    // Absolute file position of the file's first data byte.
    quint32 dataOffset = 0;
    // The record got no node in the tree (a folder record, a name hidden by a
    // later one or clashing with a lump or folder, an empty or over-deep
    // path): every flush writes it back as it was.
    bool setAside = false;
    // The local header and the directory entry disagree on how the data is
    // stored (method or encryption): neither can be trusted to read it, so
    // the record is set aside and both headers are written back as read.
    bool headersDisagree = false;
    // The path the tree shows the file under when it is not the record's own
    // (a folder named by an earlier record in other case); empty otherwise.
    QString treePath;
};

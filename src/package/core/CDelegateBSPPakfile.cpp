// Reading the pakfile: the zip archive of stored files that lump 40 holds.
// Every zip offset counts from the first byte of lump 40, and nothing outside
// the lump is ever looked at. Failures leave the file open: open() closes it,
// a flush that wrote lump 40 whole only reports them.
#include "CBinaryReader.h"
#include "CDelegateBSP.h"
#include "PackageErrors.h"

#include <QtEndian>

namespace E = PackageErrors;
namespace Z = ZipFormat;

namespace {

constexpr qint64 ScanChunk = 64 * 1024;
// Largest central directory read into memory at once (about 800,000 entries
// with typical names); a larger span is read from the file.
constexpr qint64 MaxDirectoryInMemory = 64 * 1024 * 1024;

// Position of the first signature that lies wholly within [from, limit) of
// the reader, or -1. Scans in chunks so that junk between records costs
// little, and never reads outside the range.
qint64 findSignature(CBinaryReader &r, qint64 from, qint64 limit, quint32 signature)
{
    uchar pattern[4];
    qToLittleEndian(signature, pattern);
    const QByteArray needle(reinterpret_cast<const char *>(pattern), 4);
    limit = qMin(limit, r.size());
    // Records normally follow one another directly: look where the record
    // should be before scanning, or every entry would read a whole chunk.
    if (from >= 0 && from + 4 <= limit && r.seek(from)) {
        const quint32 found = r.u32();
        if (!r.ok())
            return -1;
        if (found == signature)
            return from;
    }
    for (qint64 at = from; at >= 0 && at + 4 <= limit; at += ScanChunk) {
        const qint64 length = qMin(ScanChunk + 3, limit - at);
        if (!r.seek(at))
            return -1;
        const QByteArray chunk = r.bytes(length);
        if (!r.ok())
            return -1;
        const int hit = chunk.indexOf(needle);
        if (hit >= 0)
            return at + hit;
    }
    return -1;
}

// The fixed part of a record after its signature, taken in one read: a
// pakfile can list tens of thousands of files, and every field read from the
// file itself would cost a seek.
CBinaryReader fixedPart(CBinaryReader &pak, int recordSize)
{
    return CBinaryReader(pak.bytes(recordSize - 4));
}

// The fields the local header and the central directory entry share, in the
// local header's order after the version needed.
void readSharedFields(CBinaryReader &r, CZipLocalFileHeader &h)
{
    h.flags = r.u16();
    h.compression = r.u16();
    h.time = r.u16();
    h.date = r.u16();
    h.crc32 = r.u32();
    h.compressedSize = r.u32();
    h.uncompressedSize = r.u32();
    h.fileNameLength = r.u16();
    h.extraFieldLength = r.u16();
}

// The file name and extra field after a header's fixed part: null, or the
// error text when they are cut short.
const char *readNameAndExtra(CBinaryReader &r, CZipLocalFileHeader &h)
{
    if (!r.canRead(h.fileNameLength))
        return E::Bsp::FileNameRead;
    h.fileName = r.bytes(h.fileNameLength);
    if (!r.canRead(h.extraFieldLength))
        return E::Bsp::ExtraFieldRead;
    h.extraField = r.bytes(h.extraFieldLength);
    return nullptr;
}

} // namespace

bool CDelegateBSP::readPakfile()
{
    const CBspLump &lump = m_lumps[BspFormat::PakfileLump];
    CBinaryReader file(&m_file);
    CBinaryReader pak = file.sub(lump.offset, lump.length);
    if (!pak.ok())
        return fail(E::ReadSeekError);
    const qint64 size = pak.size();

    // The end record sits in the last 22 bytes plus at most a 64 KiB comment:
    // only that tail is searched, from the back, in memory.
    const qint64 tailStart = qMax<qint64>(0, size - Z::MaxEndRecordSpan);
    if (!pak.seek(tailStart))
        return fail(E::ReadSeekError);
    const QByteArray tail = pak.bytes(size - tailStart);
    if (!pak.ok())
        return fail(E::ReadSeekError);
    qint64 endPos = -1;
    for (qint64 at = tail.size() - Z::EndRecordSize; at >= 0; --at) {
        if (qFromLittleEndian<quint32>(tail.constData() + at) == Z::EndSignature) {
            endPos = tailStart + at;
            break;
        }
    }
    if (endPos < 0)
        return fail(E::Bsp::NoEndRecord);

    pak.seek(endPos + 4);
    m_zipDiskNumber = pak.u16();
    m_zipDirectoryDisk = pak.u16();
    m_zipEntriesOnDisk = pak.u16();
    m_zipTotalEntries = pak.u16();
    m_zipDirectorySize = pak.u32();
    m_zipDirectoryOffset = pak.u32();
    m_zipCommentLength = pak.u16();
    if (m_zipCommentLength != 0) {
        if (!pak.canRead(m_zipCommentLength))
            return fail(E::ReadError);
        m_zipComment = pak.bytes(m_zipCommentLength);
    }
    if (m_zipDirectoryDisk != m_zipDiskNumber)
        return fail(E::Bsp::DiskArrangement);
    if (m_zipDirectoryOffset > quint64(endPos))
        return fail(E::ReadSeekError);

    // Each entry needs at least its fixed part before the end record; a
    // count that cannot fit is refused before anything is allocated.
    if (qint64(m_zipEntriesOnDisk) * Z::CentralHeaderSize > endPos - m_zipDirectoryOffset)
        return fail(E::Bsp::NoCentralEntry);
    // The directory is read from memory when it is of a plausible size: field
    // by field from the file, every record would cost several seeks.
    const qint64 directorySize = endPos - m_zipDirectoryOffset;
    CBinaryReader window = pak.sub(m_zipDirectoryOffset, directorySize);
    CBinaryReader directory =
        directorySize <= MaxDirectoryInMemory ? CBinaryReader(window.bytes(directorySize)) : window;
    return readCentralDirectory(directory) && readLocalHeaders(pak, endPos);
}

bool CDelegateBSP::readCentralDirectory(CBinaryReader &directory)
{
    qDeleteAll(m_pakfileEntries);
    m_pakfileEntries.clear();
    m_pakfileEntries.reserve(m_zipEntriesOnDisk);
    for (int i = 0; i < m_zipEntriesOnDisk; ++i)
        m_pakfileEntries.append(new CPakfileEntry());

    qint64 at = 0;
    for (CPakfileEntry *e : qAsConst(m_pakfileEntries)) {
        // Junk between entries is skipped, as far as the end record.
        at = findSignature(directory, at, directory.size(), Z::CentralSignature);
        if (at < 0 || !directory.seek(at + 4) || !directory.canRead(Z::CentralHeaderSize - 4))
            return fail(E::Bsp::NoCentralEntry);
        CBinaryReader fixed = fixedPart(directory, Z::CentralHeaderSize);
        CZipCentralDirectoryHeader &c = e->central;
        c.versionMadeBy = fixed.u16();
        c.versionNeeded = fixed.u16();
        readSharedFields(fixed, c);
        c.commentLength = fixed.u16();
        c.diskNumberStart = fixed.u16();
        c.internalAttributes = fixed.u16();
        c.externalAttributes = fixed.u32();
        c.localHeaderOffset = fixed.u32();
        if (const char *error = readNameAndExtra(directory, c))
            return fail(error);
        if (!directory.canRead(c.commentLength))
            return fail(E::Bsp::CommentRead);
        c.comment = directory.bytes(c.commentLength);
        at = directory.pos();
    }
    return true;
}

bool CDelegateBSP::readLocalHeaders(CBinaryReader &pak, qint64 endRecordPos)
{
    const qint64 lumpOffset = m_lumps[BspFormat::PakfileLump].offset;
    for (CPakfileEntry *e : qAsConst(m_pakfileEntries)) {
        const qint64 start = e->central.localHeaderOffset;
        if (start >= endRecordPos)
            return fail(E::ReadSeekErrorUpper);
        const qint64 at = findSignature(pak, start, endRecordPos, Z::LocalSignature);
        if (at < 0 || !pak.seek(at + 4) || !pak.canRead(Z::LocalHeaderSize - 4))
            return fail(E::Bsp::NoLocalHeader);
        CBinaryReader fixed = fixedPart(pak, Z::LocalHeaderSize);
        CZipLocalFileHeader &l = e->local;
        l.versionNeeded = fixed.u16();
        readSharedFields(fixed, l);
        if (const char *error = readNameAndExtra(pak, l))
            return fail(error);
        const qint64 dataStart = pak.pos();
        e->dataOffset = quint32(lumpOffset + dataStart);

        // With a data descriptor the local header carries zeros; the central
        // record has the real values.
        if (l.flags & Z::FlagDataDescriptor) {
            l.crc32 = e->central.crc32;
            l.compressedSize = e->central.compressedSize;
            l.uncompressedSize = e->central.uncompressedSize;
        }
        if (qint64(l.compressedSize) > pak.size() - dataStart)
            return fail(E::Bsp::entryOutsidePakfile(QString::fromLatin1(l.fileName)));
    }
    return true;
}

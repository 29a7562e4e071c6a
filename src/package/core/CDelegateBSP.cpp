#include "CDelegateBSP.h"

#include "CBinaryReader.h"
#include "CPackageHierarchyNode.h"
#include "FileRangeCopy.h"
#include "PackageErrors.h"
#include "functions.h"

#include <QBuffer>
#include <QtEndian>

#include <limits>

namespace E = PackageErrors;
namespace F = BspFormat;

namespace {

// Whether every record, its fields taken from these columns, is one a
// compiler writes: offset 0 or past the header, a length that is not
// negative and a small version.
bool recordsFit(const qint32 (&raw)[F::LumpCount][3], int offsetAt, int lengthAt, int versionAt)
{
    for (const auto &r : raw) {
        if ((r[offsetAt] != 0 && r[offsetAt] < F::HeaderSize) || r[lengthAt] < 0 ||
            quint32(r[versionAt]) > quint32(F::MaxLumpVersion))
            return false;
    }
    return true;
}

} // namespace

CDelegateBSP::CDelegateBSP(QObject *parent)
    : IPackageDelegate(parent)
{}

CDelegateBSP::~CDelegateBSP()
{
    clearRecords();
}

void CDelegateBSP::clearRecords()
{
    clearPakfileRecords();
    m_gameLumps.clear();
    m_ident = 0;
    m_version = 0;
    m_mapRevision = 0;
    for (CBspLump &l : m_lumps)
        l = CBspLump();
    m_gameLumpsRelative = false;
    m_cutLumps.clear();
    clearWarnings();
}

void CDelegateBSP::clearPakfileRecords()
{
    qDeleteAll(m_pakfileEntries);
    m_pakfileEntries.clear();
    m_zipDiskNumber = 0;
    m_zipDirectoryDisk = 0;
    m_zipEntriesOnDisk = 0;
    m_zipTotalEntries = 0;
    m_zipDirectorySize = 0;
    m_zipDirectoryOffset = 0;
    m_zipCommentLength = 0;
    m_zipComment = QByteArray();
}

bool CDelegateBSP::failOpen(const QString &text)
{
    m_lastError = text;
    m_file.close();
    return false;
}

bool CDelegateBSP::open(const QString &path, bool readOnly)
{
    if (!openMap(path, readOnly, true))
        return false;
    // Here and not in openMap: the flush's read-back check must not repeat
    // them.
    reportWarnings();
    return true;
}

bool CDelegateBSP::openMap(const QString &path, bool readOnly, bool withPakfile, bool withTree)
{
    if (path.isEmpty())
        return fail(E::InvalidFilePath);
    close();
    // A delegate may be reused: nothing of an earlier map may leak into this one.
    clearHierarchy();
    clearRecords();
    m_file.setFileName(path);
    // Opening for writing must not leave an empty file where a map is missing.
    if (!m_file.open(readOnly ? QIODevice::ReadOnly
                              : QIODevice::ReadWrite | QIODevice::ExistingOnly))
        // A map opened to be saved says why it cannot be written.
        return failOpen(readOnly ? QString::fromLatin1(E::FileOpen)
                                 : E::withReason(E::FileOpen, m_file.errorString()));
    const qint64 fileSize = m_file.size();
    if (fileSize < F::HeaderSize)
        return failOpen(E::Bsp::SmallerThanHeader);
    CBinaryReader reader(&m_file);
    if (!readHeader(reader) || !checkLumpBounds(fileSize))
        return false;
    // A cut lump 35 or 40 that cannot be read whole is shown with what can
    // be read of it; the warning says why. Whole ones are refused as ever.
    QStringList unread;
    if (!readGameLumps()) {
        if (!m_cutLumps.contains(F::GameLumpLump)) {
            m_file.close();
            return false;
        }
        m_gameLumps.clear();
        unread << E::withReason(E::Bsp::NoGameLumpsShown, m_lastError);
    }
    if (withPakfile && m_lumps[F::PakfileLump].length != 0 && !readPakfile()) {
        if (!m_cutLumps.contains(F::PakfileLump))
            return failOpen(m_lastError);
        clearPakfileRecords();
        unread << E::withReason(E::Bsp::PakfileShownEmpty, m_lastError);
    }
    if (!m_cutLumps.isEmpty())
        addWarning(E::Bsp::cutLumps(m_cutLumps, unread));
    if (withTree && !buildHierarchy())
        return failOpen(m_lastError);
    return true;
}

bool CDelegateBSP::readHeader(CBinaryReader &reader)
{
    m_ident = reader.i32();
    if (m_ident != F::Ident)
        return failOpen(E::Bsp::MagicMismatch);
    const qint32 fileVersion = reader.i32();
    if (fileVersion < F::MinVersion)
        return failOpen(E::TooOld);
    if (fileVersion > F::MaxVersion)
        return failOpen(E::TooNew);
    m_version = fileVersion;

    qint32 raw[F::LumpCount][3];
    for (int i = 0; i < F::LumpCount; ++i) {
        for (qint32 &value : raw[i])
            value = reader.i32();
        for (qint8 &c : m_lumps[i].fourCC)
            c = reader.i8();
    }
    m_mapRevision = reader.i32();
    if (!reader.ok())
        return failOpen(E::Bsp::SmallerThanHeader);

    bool layoutA = true;
    if (fileVersion == 21) {
        // Version 21 exists in two record layouts. Read in its own layout,
        // every record has a plausible offset, length and version; read the
        // other way, a real map's records do not. Only when both readings
        // fit (or neither) do the sizes decide: the lengths of all lumps add
        // up to about the file size without the header, so whichever column
        // comes closer holds the lengths (in a cut file, the wrong one may).
        const bool fitsA = recordsFit(raw, 0, 1, 2);
        const bool fitsB = recordsFit(raw, 1, 2, 0);
        // 64-bit sums cannot wrap.
        const qint64 bodySize = m_file.size() - F::HeaderSize;
        qint64 second = 0;
        qint64 third = 0;
        for (const auto &r : raw) {
            second += r[1];
            third += r[2];
        }
        const qint64 a = qAbs(second - bodySize);
        const qint64 b = qAbs(third - bodySize);
        if (fitsA == fitsB && a == b)
            return failOpen(E::Bsp::UnknownLayout);
        layoutA = fitsA != fitsB ? fitsA : a < b;
        m_version = layoutA ? F::InternalVersionLayoutA : 21;
    }
    for (int i = 0; i < F::LumpCount; ++i) {
        CBspLump &l = m_lumps[i];
        if (layoutA) {
            l.offset = raw[i][0];
            l.length = raw[i][1];
            l.version = raw[i][2];
        } else {
            l.version = raw[i][0];
            l.offset = raw[i][1];
            l.length = raw[i][2];
        }
    }
    return true;
}

bool CDelegateBSP::checkLumpBounds(qint64 fileSize)
{
    // Offsets of empty lumps are meaningless and left alone.
    for (int i = 0; i < F::LumpCount; ++i) {
        CBspLump &l = m_lumps[i];
        if (l.length == 0)
            continue;
        if (l.offset < 0 || l.length < 0)
            return failOpen(E::Bsp::lumpOutsideFile(i));
        // A map cut short (an interrupted copy) still shows what it holds,
        // its pakfile above all; writing it back would make the loss final.
        if (qint64(l.offset) + l.length > fileSize) {
            l.length = qint32(qMax<qint64>(0, fileSize - l.offset));
            m_cutLumps.append(i);
        }
    }
    return true;
}

bool CDelegateBSP::readGameLumps()
{
    if (!m_file.isOpen() || !m_file.isReadable())
        return false;
    m_gameLumps.clear();
    const CBspLump &lump = m_lumps[F::GameLumpLump];
    // Too short for even a count: the map has no game lumps.
    if (lump.length < 4)
        return true;
    CBinaryReader file(&m_file);
    CBinaryReader dir = file.sub(lump.offset, lump.length);
    const qint32 count = dir.i32();
    if (!dir.ok() || count < 0 || !dir.canHold(count, F::GameLumpRecordSize))
        return fail(E::Bsp::GameLumpDirectory);
    m_gameLumps.resize(count);
    for (CGameLump &g : m_gameLumps) {
        g.id = dir.i32();
        g.flags = dir.u16();
        g.version = dir.u16();
        g.offset = dir.i32();
        g.length = dir.i32();
    }
    // Offsets are absolute, unless only counting them from the lump's start
    // puts every game lump inside it.
    m_gameLumpsRelative = false;
    if (gameLumpOutsideLump() >= 0) {
        m_gameLumpsRelative = true;
        if (gameLumpOutsideLump() >= 0)
            m_gameLumpsRelative = false;
    }
    // Every game lump is read whole; the total is capped by the file size so
    // a directory pointing many records at the same bytes cannot exhaust
    // memory. In a map cut inside lump 35, those the file ends in are read
    // up to its end, as the lumps are.
    const bool cut = m_cutLumps.contains(F::GameLumpLump);
    qint64 total = 0;
    for (CGameLump &g : m_gameLumps) {
        if (g.offset < 0)
            return fail(E::ReadSeekErrorUpper);
        if (cut && g.length > 0)
            g.length = qint32(qBound<qint64>(0, file.size() - gameLumpStart(g), g.length));
        if (cut && g.length == 0)
            continue;
        if (!file.seek(gameLumpStart(g)))
            return fail(E::ReadSeekErrorUpper);
        if (g.length < 0 || !file.canRead(g.length))
            return fail(E::ReadIncompleteRead);
        total += g.length;
        if (total > file.size())
            return fail(E::Bsp::GameLumpsTooLarge);
        g.data = file.bytes(g.length);
    }
    return true;
}

qint64 CDelegateBSP::gameLumpStart(const CGameLump &g) const
{
    return qint64(g.offset) + (m_gameLumpsRelative ? m_lumps[F::GameLumpLump].offset : 0);
}

int CDelegateBSP::gameLumpOutsideLump() const
{
    const CBspLump &lump = m_lumps[F::GameLumpLump];
    // A lump cut at the end of the file once reached further.
    const qint64 end = m_cutLumps.contains(F::GameLumpLump) ? std::numeric_limits<qint64>::max()
                                                            : qint64(lump.offset) + lump.length;
    for (int i = 0; i < m_gameLumps.size(); ++i) {
        const CGameLump &g = m_gameLumps[i];
        const qint64 start = gameLumpStart(g);
        if (g.length != 0 && (g.length < 0 || start < lump.offset || start + g.length > end))
            return i;
    }
    return -1;
}

bool CDelegateBSP::moveGameLumps(QByteArray &lump, qint64 start, qint64 length, qint64 delta)
{
    CBinaryReader in(lump);
    const qint32 count = in.i32();
    if (!in.ok() || count < 0 || !in.canHold(count, F::GameLumpRecordSize))
        return false;
    for (qint32 i = 0; i < count; ++i) {
        const qint64 field = 4 + qint64(i) * F::GameLumpRecordSize + 8;
        in.seek(field);
        const qint32 offset = in.i32();
        const qint32 gameLumpLength = in.i32();
        // Only bytes inside the lump move with it. An offset that points
        // elsewhere says nothing about the new place; shifted, it could turn
        // negative and the map would no longer open.
        if (offset >= start && gameLumpLength >= 0 &&
            qint64(offset) + gameLumpLength <= start + length)
            qToLittleEndian<qint32>(qint32(offset + delta), lump.data() + field);
    }
    return true;
}

int CDelegateBSP::gameLumpIndex(int id) const
{
    for (int i = 0; i < m_gameLumps.size(); ++i) {
        if (m_gameLumps[i].id == id)
            return i;
    }
    return -1;
}

int CDelegateBSP::lumpInfo(int lump, int field) const
{
    if (lump < 0 || lump >= F::LumpCount)
        return 0;
    const CBspLump &l = m_lumps[lump];
    switch (field) {
    case 1:
        return l.offset;
    case 2:
        return l.length;
    case 3:
        return l.version;
    case 4:
        return int(quint32(quint8(l.fourCC[0])) << 24 | quint32(quint8(l.fourCC[1])) << 16 |
                   quint32(quint8(l.fourCC[2])) << 8 | quint32(quint8(l.fourCC[3])));
    default:
        return 0;
    }
}

void CDelegateBSP::close()
{
    m_file.close();
}

const CPakfileEntry *CDelegateBSP::pakfileEntry(int index) const
{
    const int k = index - F::LumpCount;
    return k >= 0 && k < m_pakfileEntries.size() ? m_pakfileEntries[k] : nullptr;
}

bool CDelegateBSP::hasFile(int index) const
{
    return uint(index) < uint(F::LumpCount + m_pakfileEntries.size());
}

int CDelegateBSP::storedSize(int index) const
{
    if (!hasFile(index))
        return 0;
    if (index < F::LumpCount)
        return m_lumps[index].length;
    const CZipLocalFileHeader &l = pakfileEntry(index)->local;
    // Bounded by lump 40's length when read, so it fits. The size of a
    // compressed file's contents is only what its record says.
    if (l.compression == ZipFormat::MethodStored)
        return int(l.compressedSize);
    return int(qMin<quint32>(l.uncompressedSize, quint32(std::numeric_limits<int>::max())));
}

int CDelegateBSP::sizeOnDisk(int index) const
{
    const CPakfileEntry *e = pakfileEntry(index);
    if (!e)
        return size(index);
    // An unedited compressed file takes its compressed bytes.
    const CPackageHierarchyNode *n = node(index);
    const int current = n && n->pendingData ? size(index) : int(e->local.compressedSize);
    return current + ZipFormat::LocalHeaderSize + ZipFormat::CentralHeaderSize +
           e->local.fileNameLength + e->local.extraFieldLength + e->central.fileNameLength +
           e->central.extraFieldLength + e->central.commentLength;
}

bool CDelegateBSP::writeStored(QIODevice *device, int index)
{
    if (!device)
        return fail(E::NullDevice);
    if (!device->isOpen())
        return fail(E::DeviceNotOpen);
    if (!device->isWritable())
        return fail(E::DeviceNotWritable);
    if (!hasNode(index) || !hasFile(index))
        return fail(E::IndexOutOfBounds);
    // Handing out deflated bytes as if they were the file would corrupt
    // every copy made from them.
    if (const CPakfileEntry *e = pakfileEntry(index)) {
        if (e->local.compression != ZipFormat::MethodStored)
            return fail(E::Bsp::compressedEntry(QString::fromLatin1(e->local.fileName),
                                                e->local.compression));
    }
    return writeStoredRaw(device, index);
}

bool CDelegateBSP::writeStoredRaw(QIODevice *device, int index, bool writeback)
{
    if (!m_file.isOpen())
        return fail(E::FileNotOpen);
    qint64 start = 0;
    qint64 length = 0;
    if (const CPakfileEntry *e = pakfileEntry(index)) {
        start = e->dataOffset;
        length = e->local.compressedSize;
    } else if (index >= 0 && index < F::LumpCount) {
        start = m_lumps[index].offset;
        length = m_lumps[index].length;
    } else {
        return fail(E::IndexOutOfBounds);
    }
    if (length == 0)
        return true;

    QByteArray directory;
    if (index == F::GameLumpLump && length >= 4 && !m_gameLumpsRelative) {
        // Absolute game-lump offsets move with the lump, so that they stay
        // right wherever the copy lands (at position 0 they count from the
        // lump's first byte). Relative ones are right anywhere, and so is a
        // directory the end of the file cut off: the bytes are copied as
        // they are.
        CBinaryReader file(&m_file);
        CBinaryReader in = file.sub(start, length);
        const qint32 count = in.i32();
        if (in.ok() && count >= 0 && in.canHold(count, F::GameLumpRecordSize)) {
            in.seek(0);
            directory = in.bytes(4 + qint64(count) * F::GameLumpRecordSize);
            moveGameLumps(directory, start, length, device->pos() - start);
            start += directory.size();
            length -= directory.size();
        } else if (!m_cutLumps.contains(F::GameLumpLump)) {
            return fail(E::Bsp::GameLumpDirectory);
        }
    }
    if (!m_file.seek(start))
        return fail(E::ReadSeekError);
    if (!directory.isEmpty() && device->write(directory) != directory.size())
        return fail(E::WriteIncomplete);
    return FileRangeCopy::copy(m_file, start, length, device, &m_lastError, writeback);
}

bool CDelegateBSP::readStoredRaw(int index, QByteArray &out)
{
    const CPakfileEntry *e = pakfileEntry(index);
    if (!e || !m_file.isOpen()) {
        // Lumps (and every failure) take the general way.
        out.clear();
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        return writeStoredRaw(&buffer, index);
    }
    // A pakfile file straight into the array: no copy in small steps.
    if (e->local.compressedSize == 0) {
        out.clear();
        return true;
    }
    if (!m_file.seek(e->dataOffset)) {
        out.clear();
        return fail(E::ReadSeekError);
    }
    return FileRangeCopy::read(m_file, e->dataOffset, e->local.compressedSize, out, &m_lastError);
}

QVector<QByteArray> CDelegateBSP::staticPropModelNames() const
{
    QVector<QByteArray> names;
    const int at = gameLumpIndex(F::StaticPropGameLumpId);
    if (at < 0)
        return names;
    CBinaryReader r(m_gameLumps[at].data);
    if (!r.canRead(4))
        return names;
    const qint32 count = r.i32();
    for (qint32 i = 0; i < count && !r.atEnd(); ++i)
        names.append(r.bytes(qMin<qint64>(F::StaticPropNameSize, r.remaining())).trimmed());
    return names;
}

QVector<QByteArray> CDelegateBSP::entityLines()
{
    QVector<QByteArray> lines;
    QByteArray *bytes = readStored(F::EntityLump);
    if (!bytes)
        return lines;
    {
        QBuffer buffer(bytes);
        buffer.open(QIODevice::ReadOnly);
        while (!buffer.atEnd()) {
            const QByteArray line = readLine(&buffer).trimmed();
            if (!line.isEmpty())
                lines.append(line);
        }
    }
    delete bytes;
    return lines;
}

QVector<QByteArray> CDelegateBSP::texdataStrings()
{
    QVector<QByteArray> strings;
    const CBspLump &l = m_lumps[F::TexdataStringLump];
    if (!m_file.isOpen() || l.length <= 0)
        return strings;
    // Only the lump's own bytes: a last string without its NUL ends with the
    // lump instead of running on into the next one.
    CBinaryReader file(&m_file);
    QByteArray bytes = file.sub(l.offset, l.length).bytes(l.length);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    while (!buffer.atEnd()) {
        QByteArray s = readLine(&buffer);
        normalizePath(s);
        strings.append(s);
    }
    return strings;
}

#include "CDelegateBSP.h"

#include "CBinaryReader.h"
#include "CPackageHierarchyNode.h"
#include "PackageErrors.h"
#include "functions.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QtEndian>

namespace E = PackageErrors;
namespace F = BspFormat;

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
    m_warnings.clear();
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
    return openMap(path, readOnly, true);
}

bool CDelegateBSP::openMap(const QString &path, bool readOnly, bool withPakfile)
{
    if (path.isEmpty())
        return fail(E::InvalidFilePath);
    close();
    // A delegate may be reused: nothing of an earlier map may leak into this one.
    clearHierarchy();
    clearRecords();
    m_file.setFileName(path);
    if (!m_file.open(readOnly ? QIODevice::ReadOnly : QIODevice::ReadWrite))
        return failOpen(E::FileOpen);
    const qint64 fileSize = m_file.size();
    if (fileSize < F::HeaderSize)
        return failOpen(E::Bsp::SmallerThanHeader);
    CBinaryReader reader(&m_file);
    if (!readHeader(reader) || !checkLumpBounds(fileSize))
        return false;
    if (!readGameLumps()) {
        m_file.close();
        return false;
    }
    if (withPakfile && m_lumps[F::PakfileLump].length != 0 && !readPakfile())
        return failOpen(m_lastError);
    if (!buildHierarchy())
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
        // Version 21 exists in two record layouts. The lengths of all lumps
        // add up to about the file size without the header, so whichever
        // column comes closer holds the lengths. 64-bit sums cannot wrap.
        const qint64 bodySize = m_file.size() - F::HeaderSize;
        qint64 second = 0;
        qint64 third = 0;
        for (const auto &r : raw) {
            second += r[1];
            third += r[2];
        }
        const qint64 a = qAbs(second - bodySize);
        const qint64 b = qAbs(third - bodySize);
        if (a == b)
            return failOpen(E::Bsp::UnknownLayout);
        layoutA = a < b;
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
        const CBspLump &l = m_lumps[i];
        if (l.length == 0)
            continue;
        if (l.offset < 0 || l.length < 0 || qint64(l.offset) + l.length > fileSize)
            return failOpen(E::Bsp::lumpOutsideFile(i));
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
    // Every game lump is read whole; the total is capped by the file size so
    // a directory pointing many records at the same bytes cannot exhaust
    // memory.
    qint64 total = 0;
    for (CGameLump &g : m_gameLumps) {
        if (g.offset < 0 || !file.seek(g.offset))
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
    // Bounded by lump 40's length when read, so it fits.
    return int(pakfileEntry(index)->local.compressedSize);
}

int CDelegateBSP::sizeOnDisk(int index) const
{
    const int current = size(index);
    const CPakfileEntry *e = pakfileEntry(index);
    if (!e)
        return current;
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

bool CDelegateBSP::writeStoredRaw(QIODevice *device, int index)
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
    if (index == F::GameLumpLump && length >= 4) {
        // Game-lump offsets are absolute: moved with the lump so that they
        // stay right wherever the copy lands.
        CBinaryReader file(&m_file);
        CBinaryReader in = file.sub(start, length);
        const qint32 count = in.i32();
        if (!in.ok() || count < 0 || !in.canHold(count, F::GameLumpRecordSize))
            return fail(E::Bsp::GameLumpDirectory);
        const qint64 delta = device->pos() - start;
        QBuffer out(&directory);
        out.open(QIODevice::WriteOnly);
        QDataStream stream(&out);
        stream.setByteOrder(QDataStream::LittleEndian);
        stream << count;
        for (qint32 i = 0; i < count; ++i) {
            const qint32 id = in.i32();
            const quint16 flags = in.u16();
            const quint16 version = in.u16();
            const qint32 offset = in.i32();
            const qint32 gameLumpLength = in.i32();
            // Only bytes inside lump 35 move with it. An offset that points
            // elsewhere (or is relative, as some builds write them) says
            // nothing about the new place; shifted, it could turn negative
            // and the rewritten map would no longer open.
            const bool inside = offset >= start && gameLumpLength >= 0 &&
                                qint64(offset) + gameLumpLength <= start + length;
            stream << id << flags << version << (inside ? qint32(offset + delta) : offset)
                   << gameLumpLength;
        }
        start += directory.size();
        length -= directory.size();
    }
    if (!m_file.seek(start))
        return fail(E::ReadSeekError);
    if (!directory.isEmpty() && device->write(directory) != directory.size())
        return fail(E::WriteIncomplete);
    return copyDevice(&m_file, device, length, &m_lastError);
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

bool CDelegateBSP::setTexdataStrings(const QVector<QByteArray> &strings)
{
    qsizetype total = 0;
    for (const QByteArray &s : strings)
        total += s.size() + 1;
    QByteArray joined;
    joined.reserve(int(total));
    // NUL is the terminator the engine looks for between texture names.
    for (const QByteArray &s : strings) {
        joined.append(s);
        joined.append('\0');
    }
    return setData(joined, false, node(F::TexdataStringLump));
}

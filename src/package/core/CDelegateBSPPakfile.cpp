// Reading the pakfile: the zip archive of stored files that lump 40 holds.
// Every zip offset counts from the first byte of lump 40, and nothing outside
// the lump is ever looked at. Failures leave the file open: open() closes it,
// a flush that wrote lump 40 whole only reports them.
#include "CBinaryReader.h"
#include "CDelegateBSP.h"
#include "PackageErrors.h"

#include <QtEndian>

#include <algorithm>
#include <numeric>

namespace E = PackageErrors;
namespace Z = ZipFormat;

namespace {

constexpr qint64 ScanChunk = 64 * 1024;
// Largest central directory read into memory at once (about 800,000 entries
// with typical names); a larger span is read from the file.
constexpr qint64 MaxDirectoryInMemory = 64 * 1024 * 1024;

// Finds the signature of the records of a reader, front to back. Records
// normally follow one another directly and are looked for where they should
// be; otherwise the reader is scanned in chunks that stay in a window later
// searches look in first, so that junk between records costs little and
// each byte is scanned at most once however the records lie. Never reads
// outside the reader.
class SignatureScan
{
public:
    SignatureScan(CBinaryReader &reader, quint32 signature)
        : m_reader(reader)
        , m_signature(signature)
    {
        uchar pattern[4];
        qToLittleEndian(signature, pattern);
        m_needle = QByteArray(reinterpret_cast<const char *>(pattern), 4);
    }

    // Position of the first signature that lies wholly within [from, end of
    // the reader), or -1.
    qint64 find(qint64 from)
    {
        const qint64 limit = m_reader.size();
        if (from < 0 || from + 4 > limit)
            return -1;
        if (!covers(from)) {
            if (!m_reader.seek(from))
                return -1;
            const quint32 found = m_reader.u32();
            if (!m_reader.ok())
                return -1;
            if (found == m_signature)
                return from;
        }
        for (qint64 at = from; at + 4 <= limit; at = m_start + m_window.size() - 3) {
            if (!covers(at) && !moveWindow(at))
                return -1;
            const int hit = m_window.indexOf(m_needle, int(at - m_start));
            if (hit >= 0)
                return m_start + hit;
        }
        return -1;
    }

private:
    bool covers(qint64 at) const { return at >= m_start && at + 4 <= m_start + m_window.size(); }

    // The window from `at` on: what it holds of that is kept, and the next
    // chunk is read after it.
    bool moveWindow(qint64 at)
    {
        if (at >= m_start && at <= m_start + m_window.size())
            m_window.remove(0, int(at - m_start));
        else
            m_window.clear();
        m_start = at;
        const qint64 readFrom = m_start + m_window.size();
        const qint64 length = qMin(ScanChunk, m_reader.size() - readFrom);
        if (length <= 0 || !m_reader.seek(readFrom))
            return false;
        m_window += m_reader.bytes(length);
        return m_reader.ok();
    }

    CBinaryReader &m_reader;
    quint32 m_signature;
    QByteArray m_needle;
    QByteArray m_window;
    // Position of the window's first byte in the reader.
    qint64 m_start = 0;
};

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

// Reads the local headers of the pakfile's records, visited in the order of
// their headers. A read takes in, with the header asked for, the headers of
// the next records that lie within HeaderSpan bytes, so that an archive of
// small files costs a few large reads and one of large files a short read
// per header, never the data in between. Windows only overlap where a header
// runs past one, so the lump is read about once in all.
class LocalHeaderWindow
{
public:
    static constexpr qint64 HeaderSpan = 64 * 1024;
    // Records looked ahead at per read: bounds the planning work per read.
    static constexpr int Lookahead = 256;

    LocalHeaderWindow(CDelegateBSP::ReadCount &count, QIODevice &file, qint64 base, qint64 size)
        : m_count(count)
        , m_file(file)
        , m_base(base)
        , m_size(size)
    {}

    bool contains(qint64 offset, qint64 length) const
    {
        return offset >= m_start && length <= m_start + m_buffer.size() - offset;
    }

    // [offset, offset + length) of the lump, from the window when it holds
    // them, else from a new window reaching to `plannedEnd()`; null when the
    // range runs past the lump or cannot be read.
    template <typename PlannedEnd>
    const char *get(qint64 offset, qint64 length, PlannedEnd plannedEnd)
    {
        if (offset < 0 || length < 0 || offset > m_size || length > m_size - offset)
            return nullptr;
        if (!contains(offset, length)) {
            const qint64 end = qBound(offset + length, qint64(plannedEnd()), m_size);
            m_start = -1;
            m_buffer.resize(int(end - offset));
            ++m_count.reads;
            m_count.bytes += m_buffer.size();
            if (!m_file.seek(m_base + offset) ||
                m_file.read(m_buffer.data(), m_buffer.size()) != m_buffer.size())
                return nullptr;
            m_start = offset;
        }
        return m_buffer.constData() + (offset - m_start);
    }

private:
    CDelegateBSP::ReadCount &m_count;
    QIODevice &m_file;
    qint64 m_base;
    qint64 m_size;
    QByteArray m_buffer;
    qint64 m_start = -1;
};

} // namespace

QByteArray CDelegateBSP::readPakfileRange(qint64 offset, qint64 length)
{
    const CBspLump &lump = m_lumps[BspFormat::PakfileLump];
    if (offset < 0 || length < 0 || length > lump.length - offset ||
        !m_file.seek(lump.offset + offset))
        return QByteArray();
    ++m_pakfileReads.reads;
    m_pakfileReads.bytes += length;
    QByteArray bytes = m_file.read(length);
    return bytes.size() == length ? bytes : QByteArray();
}

bool CDelegateBSP::readPakfile()
{
    m_pakfileReads = ReadCount();
    const qint64 size = m_lumps[BspFormat::PakfileLump].length;

    // The end record sits in the last 22 bytes plus at most a 64 KiB comment:
    // only that tail is searched, from the back, in memory.
    const qint64 tailStart = qMax<qint64>(0, size - Z::MaxEndRecordSpan);
    const QByteArray tail = readPakfileRange(tailStart, size - tailStart);
    if (tail.size() != size - tailStart)
        return fail(E::ReadSeekError);
    qint64 endAt = -1;
    for (qint64 at = tail.size() - Z::EndRecordSize; at >= 0; --at) {
        if (qFromLittleEndian<quint32>(tail.constData() + at) == Z::EndSignature) {
            endAt = at;
            break;
        }
    }
    if (endAt < 0)
        return fail(E::Bsp::NoEndRecord);
    const qint64 endPos = tailStart + endAt;

    CBinaryReader end(tail);
    end.seek(endAt + 4);
    m_zipDiskNumber = end.u16();
    m_zipDirectoryDisk = end.u16();
    m_zipEntriesOnDisk = end.u16();
    m_zipTotalEntries = end.u16();
    m_zipDirectorySize = end.u32();
    m_zipDirectoryOffset = end.u32();
    m_zipCommentLength = end.u16();
    if (m_zipCommentLength != 0) {
        if (!end.canRead(m_zipCommentLength))
            return fail(E::ReadError);
        m_zipComment = end.bytes(m_zipCommentLength);
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
    CBinaryReader directory;
    if (directorySize <= MaxDirectoryInMemory) {
        const QByteArray bytes = readPakfileRange(m_zipDirectoryOffset, directorySize);
        if (bytes.size() != directorySize)
            return fail(E::ReadSeekError);
        directory = CBinaryReader(bytes);
    } else {
        CBinaryReader file(&m_file);
        directory = file.sub(m_lumps[BspFormat::PakfileLump].offset, size)
                        .sub(m_zipDirectoryOffset, directorySize);
    }
    return readCentralDirectory(directory) && readLocalHeaders(endPos);
}

bool CDelegateBSP::readCentralDirectory(CBinaryReader &directory)
{
    qDeleteAll(m_pakfileEntries);
    m_pakfileEntries.clear();
    m_pakfileEntries.reserve(m_zipEntriesOnDisk);
    for (int i = 0; i < m_zipEntriesOnDisk; ++i)
        m_pakfileEntries.append(new CPakfileEntry());

    qint64 at = 0;
    SignatureScan scan(directory, Z::CentralSignature);
    for (CPakfileEntry *e : qAsConst(m_pakfileEntries)) {
        // Junk between entries is skipped, as far as the end record: each
        // search starts where the last entry ended, so the junk is crossed
        // once in all.
        at = scan.find(at);
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

bool CDelegateBSP::readLocalHeaders(qint64 endRecordPos)
{
    // Each record's local header is read where its directory entry says and
    // nowhere else: searching onwards from there would cross the same junk
    // once per record. A header that is not there fails the open at once.
    const qint64 lumpOffset = m_lumps[BspFormat::PakfileLump].offset;
    const qint64 size = m_lumps[BspFormat::PakfileLump].length;
    const int count = m_pakfileEntries.size();
    const auto offsetOf = [this](int k) {
        return qint64(m_pakfileEntries[k]->central.localHeaderOffset);
    };
    // What a header should take: its fixed part and the names the directory
    // gives (a longer one is read again, whole).
    const auto expectedEnd = [&](int k) {
        const CZipCentralDirectoryHeader &c = m_pakfileEntries[k]->central;
        return offsetOf(k) + Z::LocalHeaderSize + c.fileNameLength + c.extraFieldLength;
    };
    QVector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return offsetOf(a) < offsetOf(b); });
    constexpr qint64 HeaderSpan = LocalHeaderWindow::HeaderSpan;
    LocalHeaderWindow window(m_pakfileReads, m_file, lumpOffset, size);
    // End of the bytes the records read so far (in file order) claim.
    qint64 claimedEnd = 0;

    // The text of record order[i]'s failure, or empty.
    const auto readOne = [&](int i) -> QString {
        const int k = order[i];
        CPakfileEntry &e = *m_pakfileEntries[k];
        const qint64 start = offsetOf(k);
        ++m_pakfileReads.steps;
        if (start >= endRecordPos)
            return QString::fromLatin1(E::ReadSeekErrorUpper);
        if (start + 4 > endRecordPos || start + Z::LocalHeaderSize > size)
            return QString::fromLatin1(E::Bsp::NoLocalHeader);
        const auto plannedEnd = [&] {
            qint64 end = expectedEnd(k);
            const int last = qMin(count, i + 1 + LocalHeaderWindow::Lookahead);
            for (int j = i + 1; j < last && expectedEnd(order[j]) - start <= HeaderSpan; ++j) {
                end = qMax(end, expectedEnd(order[j]));
                ++m_pakfileReads.steps;
            }
            return end;
        };
        const char *fixedBytes = window.get(start, Z::LocalHeaderSize, plannedEnd);
        if (!fixedBytes || qFromLittleEndian<quint32>(fixedBytes) != Z::LocalSignature)
            return QString::fromLatin1(E::Bsp::NoLocalHeader);
        CBinaryReader fixed(QByteArray::fromRawData(fixedBytes + 4, Z::LocalHeaderSize - 4));
        CZipLocalFileHeader &l = e.local;
        l.versionNeeded = fixed.u16();
        readSharedFields(fixed, l);
        const qint64 namesAt = start + Z::LocalHeaderSize;
        if (l.fileNameLength > size - namesAt)
            return QString::fromLatin1(E::Bsp::FileNameRead);
        if (l.extraFieldLength > size - namesAt - l.fileNameLength)
            return QString::fromLatin1(E::Bsp::ExtraFieldRead);
        // With a data descriptor the local header carries zeros; the central
        // record has the real values.
        if (l.flags & Z::FlagDataDescriptor) {
            l.crc32 = e.central.crc32;
            l.compressedSize = e.central.compressedSize;
            l.uncompressedSize = e.central.uncompressedSize;
        }
        const qint64 dataStart = namesAt + l.fileNameLength + l.extraFieldLength;
        // Records of a real archive never share bytes. Many entries pointing
        // at one header would have its names read, and its data written on
        // flush, once per entry: such a record is refused before its names
        // are read, so that names are read at most once per byte of the lump.
        if (start < claimedEnd)
            return E::Bsp::overlappingEntry(QString::fromLatin1(e.central.fileName));
        claimedEnd = dataStart + l.compressedSize;
        const char *names = window.get(namesAt, l.fileNameLength + l.extraFieldLength, plannedEnd);
        if (!names)
            return QString::fromLatin1(E::Bsp::NoLocalHeader);
        l.fileName = QByteArray(names, l.fileNameLength);
        l.extraField = QByteArray(names + l.fileNameLength, l.extraFieldLength);
        e.dataOffset = quint32(lumpOffset + dataStart);
        if (qint64(l.compressedSize) > size - dataStart)
            return E::Bsp::entryOutsidePakfile(QString::fromLatin1(l.fileName));
        // Read by the one header and written back by the other, the file's
        // bytes would change their meaning. Sizes are the local header's.
        const CZipCentralDirectoryHeader &c = e.central;
        e.headersDisagree = l.compression != c.compression ||
                            (l.flags & Z::FlagsEncrypted) != (c.flags & Z::FlagsEncrypted);
        return QString();
    };

    // Read in file order; the failure reported is the first bad record's in
    // directory order. Each record costs the same whether it reads or fails.
    int firstBad = count;
    QString error;
    for (int i = 0; i < count; ++i) {
        const QString problem = readOne(i);
        if (!problem.isEmpty() && order[i] < firstBad) {
            firstBad = order[i];
            error = problem;
        }
    }
    return firstBad == count || fail(error);
}

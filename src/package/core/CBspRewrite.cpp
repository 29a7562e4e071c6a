#include "CBspRewrite.h"

#include "CPackageHierarchyNode.h"
#include "CSaveFile.h"
#include "DurableFile.h"
#include "FlushSyncronizer.h"
#include "PackageErrors.h"
#include "SaveLeftovers.h"
#include "SaveLock.h"
#include "ZipCrc32.h"
#include "ZipRecordWriter.h"
#include "functions.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <numeric>

namespace E = PackageErrors;
namespace F = BspFormat;
namespace Z = ZipFormat;

namespace {

// Lump offsets and lengths are signed 32-bit numbers.
constexpr qint64 MaxMapSize = std::numeric_limits<qint32>::max();
// The end record counts files in 16 bits, name lengths are 16-bit too.
constexpr int MaxPakfileFiles = 0xFFFF;
constexpr int MaxNameLength = 0xFFFF;
// Stored pakfile files are read through a window of this size: files of a
// few kilobytes would otherwise cost a seek and a read each.
constexpr qint64 WindowSize = 1 << 20;
// Written bytes gathered before the disk is asked to start on them.
constexpr qint64 WritebackStep = 32 << 20;

// What a failed copy reports, for the steps a test makes fail.
QString shortCopy(const char *text, qint64 size)
{
    return QString::fromLatin1(text).arg(quint64(size)).arg(quint64(size));
}

} // namespace

CBspRewrite::CBspRewrite(CDelegateBSP &map, FlushSyncronizer *syncronizer, SaveLock &lock)
    : m_map(map)
    , m_syncronizer(syncronizer)
    , m_lock(lock)
    , m_target(CSaveFile::savedPath(map.fileName()))
{
    std::copy(std::begin(map.m_lumps), std::end(map.m_lumps), std::begin(m_lumps));
}

CBspRewrite::~CBspRewrite()
{
    discard();
}

void CBspRewrite::discard()
{
    m_temp.close();
    // A file that took the name since is another's, and stays.
    if (m_created && !m_keepTemporary && DurableFile::idAt(m_temp.fileName()) == m_tempId)
        QFile::remove(m_temp.fileName());
    m_created = false;
}

bool CBspRewrite::failWith(const QString &message)
{
    // A write to the temporary file that failed (a full disk) keeps the
    // system's reason; after any other failure writing still works and
    // nothing is added.
    const QString reason = m_temp.isOpen() ? DurableFile::writeFailureReason(m_temp) : QString();
    m_message =
        reason.isEmpty() || message.contains(reason) ? message : E::withReason(message, reason);
    return false;
}

void CBspRewrite::writeback()
{
    const qint64 at = m_temp.pos();
    if (at - m_writtenBack < WritebackStep)
        return;
    DurableFile::startWriteback(m_temp, m_writtenBack, at);
    m_writtenBack = at;
}

void CBspRewrite::processed()
{
    if (m_syncronizer)
        m_syncronizer->incrementProcessed();
}

bool CBspRewrite::run()
{
    // Without an open map there is nothing to copy from, and no name to
    // write beside.
    if (!m_map.isOpen())
        return failWith(E::FileNotOpen);
    if (!collectFiles() || !checkLimits() || !openTemporary())
        return false;
    if (m_syncronizer)
        m_syncronizer->setTotal(F::LumpCount + (m_pakfileWhole ? 0 : 2 * m_entries.size()));

    // Room for the header, which is written last.
    if (!fault(Step::Header, 0))
        m_temp.write(QByteArray(F::HeaderSize, '\0'));
    if (m_temp.pos() != F::HeaderSize)
        return failWith(E::Bsp::HeaderWrite);
    return writeLumps() && writePakfile() && writeHeader() && finishTemporary() && readBack();
}

bool CBspRewrite::collectFiles()
{
    if (!m_map.m_cutLumps.isEmpty())
        return failWith(E::Bsp::cutMapNotSaved(m_map.m_cutLumps));
    const CPackageHierarchyNode *pakfile = m_map.node(F::PakfileLump);
    m_pakfileWhole = pakfile && pakfile->pendingData;
    if (m_pakfileWhole)
        return !m_map.hasPakfileEdits() || failWith(E::Bsp::PakfileEditsWithWholeLump);
    // Table order: the archive's files in their old order, then the files
    // added since (set-aside records moved only as placeSetAsideRecords()
    // needs). A node listed twice is written once.
    QSet<const CPackageHierarchyNode *> listed;
    for (int i = F::LumpCount; i < m_map.nodeCount(); ++i) {
        CPackageHierarchyNode *n = m_map.node(i);
        const CPakfileEntry *old = m_map.pakfileEntry(i);
        CBspRewriteEntry e;
        if (!n) {
            // A record without a node goes back as it was, under its own
            // name; the slot of a file removed since stays empty.
            if (!old || !old->setAside)
                continue;
            e.index = i;
            e.record = old->central;
            e.raw = true;
            e.keepLocal = old->headersDisagree;
            if (e.keepLocal) {
                e.local = old->local;
                e.local.flags &= ~Z::FlagDataDescriptor;
            } else {
                e.record.fileName = old->local.fileName;
            }
        } else {
            if (n->deleted || n->isFolder() || listed.contains(n) || (!n->pendingData && !old))
                continue;
            listed.insert(n);
            e.node = n;
            const QString path = n->path(true);
            // Written as "?", two such names would collide.
            if (!CDelegateBSP::isLatin1(path))
                return failWith(E::Bsp::notLatin1(path));
            if (old) {
                e.index = i;
                e.record = old->central;
                const quint16 method = old->local.compression | old->central.compression;
                const quint16 flags = old->local.flags | old->central.flags;
                e.raw =
                    !n->pendingData && (method != Z::MethodStored || (flags & Z::FlagsEncrypted));
            }
            if (!e.raw) {
                // New bytes are plain and stored, whatever the old file was.
                e.record.compression = Z::MethodStored;
                e.record.flags &= ~Z::FlagsEncrypted;
            }
            // Unless the user renamed it, a stored file keeps its own name.
            const QByteArray shown = path.toLatin1();
            e.record.fileName = old ? CDelegateBSP::pakfileSaveName(path, *old) : shown;
            if (e.record.fileName != shown)
                e.treePath = path;
        }
        // Sizes and CRC go into the local header: no descriptor follows.
        e.record.flags &= ~Z::FlagDataDescriptor;
        m_entries.append(e);
    }
    placeSetAsideRecords();
    return true;
}

void CBspRewrite::placeSetAsideRecords()
{
    // The first position in the table of each file of the tree and of a file
    // below each folder. Positions only grow: a node that has one has its
    // ancestors' too.
    QHash<const CPackageHierarchyNode *, int> first;
    bool setAside = false;
    for (int k = 0; k < m_entries.size(); ++k) {
        setAside = setAside || !m_entries[k].node;
        for (const CPackageHierarchyNode *n = m_entries[k].node; n && !first.contains(n);
             n = n->parent())
            first.insert(n, k);
    }
    if (!setAside)
        return;
    // A record out of place goes right before or after the file it must
    // yield to; everything else keeps its order (twice the position, so
    // that there is room on either side).
    QVector<qint64> key(m_entries.size());
    bool moved = false;
    for (int k = 0; k < m_entries.size(); ++k) {
        key[k] = 2 * qint64(k);
        const CPakfileEntry *old =
            m_entries[k].node ? nullptr : m_map.pakfileEntry(m_entries[k].index);
        if (!old)
            continue;
        const CPackageHierarchyNode *anchor = nullptr;
        const CDelegateBSP::RecordPlace place = m_map.setAsidePlace(*old, anchor);
        const int at = first.value(anchor, -1);
        if (at < 0)
            continue;
        if (place == CDelegateBSP::RecordPlace::BeforeNode && k > at)
            key[k] = 2 * qint64(at) - 1;
        else if (place == CDelegateBSP::RecordPlace::AfterNode && k < at)
            key[k] = 2 * qint64(at) + 1;
        moved = moved || key[k] != 2 * qint64(k);
    }
    if (!moved)
        return;
    QVector<int> order(m_entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key[a] < key[b]; });
    QVector<CBspRewriteEntry> placed;
    placed.reserve(m_entries.size());
    for (int k : qAsConst(order))
        placed.append(m_entries[k]);
    m_entries.swap(placed);
}

qint64 CBspRewrite::dataSize(const CBspRewriteEntry &e) const
{
    if (e.node && e.node->pendingData)
        return m_map.size(e.node->entryIndex);
    const CPakfileEntry *old = m_map.pakfileEntry(e.index);
    return old ? old->local.compressedSize : 0;
}

QString CBspRewrite::entryPath(const CBspRewriteEntry &e) const
{
    return e.node ? e.node->path(true) : QString::fromLatin1(e.record.fileName);
}

bool CBspRewrite::checkLimits()
{
    if (m_entries.size() > MaxPakfileFiles)
        return failWith(E::Bsp::TooManyPakfileFiles);
    qint64 total = F::HeaderSize;
    for (int lump = 0; lump < F::LumpCount; ++lump) {
        const CPackageHierarchyNode *n = m_map.node(lump);
        if ((lump == F::PakfileLump && !m_pakfileWhole) || (n && n->deleted))
            continue;
        total += m_map.size(lump);
    }
    if (!m_pakfileWhole) {
        total += Z::EndRecordSize + m_map.m_zipComment.size();
        for (const CBspRewriteEntry &e : qAsConst(m_entries)) {
            const CZipCentralDirectoryHeader &r = e.record;
            if (r.fileName.size() > MaxNameLength)
                return failWith(E::Bsp::nameTooLong(entryPath(e)));
            const CZipLocalFileHeader &l = e.keepLocal ? e.local : r;
            total += Z::LocalHeaderSize + Z::CentralHeaderSize + l.fileName.size() +
                     l.extraField.size() + r.fileName.size() + r.extraField.size() +
                     r.comment.size() + dataSize(e);
        }
    }
    if (total > MaxMapSize)
        return failWith(E::Bsp::MapTooLarge);
    return true;
}

bool CBspRewrite::openTemporary()
{
    // What saves that were cut off left beside the map is no one's now.
    SaveLeftovers::remove(m_target, m_lock);
    // A new file under a name no file had: nothing another save wrote, nor a
    // link planted to turn the map onto another file, is ever written here.
    QString reason;
    if (fault(Step::TemporaryFile, 0) || !DurableFile::createBeside(m_temp, m_target, &reason))
        return failWith(E::Bsp::temporaryOpen(
            QDir::toNativeSeparators(QFileInfo(m_target).absolutePath()), reason));
    m_tempId = DurableFile::idOf(m_temp);
    m_lock.alsoHold(m_temp);
    m_created = true;
    return true;
}

bool CBspRewrite::writeLumps()
{
    // Old file order, the lower lump first among equal offsets (empty ones
    // first of all).
    int order[F::LumpCount];
    std::iota(std::begin(order), std::end(order), 0);
    std::stable_sort(std::begin(order), std::end(order), [this](int a, int b) {
        const CBspLump &x = m_map.m_lumps[a];
        const CBspLump &y = m_map.m_lumps[b];
        if (x.offset != y.offset)
            return x.offset < y.offset;
        // An empty lump before the lump that starts where it stands: then a
        // map this program wrote comes out the same when written again.
        return x.length == 0 && y.length != 0;
    });
    for (int lump : order) {
        m_lumps[lump].offset = qint32(m_temp.pos());
        // The pakfile goes last, behind every other lump.
        if (lump == F::PakfileLump)
            continue;
        const CPackageHierarchyNode *n = m_map.node(lump);
        if (n && n->deleted)
            m_lumps[lump].length = 0;
        else if (!writeLump(lump))
            return false;
        processed();
        writeback();
    }
    return true;
}

bool CBspRewrite::writeLump(int lump)
{
    const qint64 start = m_temp.pos();
    const CPackageHierarchyNode *n = m_map.node(lump);
    const bool stagedGameLumps =
        lump == F::GameLumpLump && n && n->pendingData && !m_map.m_gameLumpsRelative;
    bool written = false;
    if (fault(Step::Lump, lump))
        written = m_map.fail(shortCopy(DeviceError::ShortWrite, m_map.size(lump)));
    else if (stagedGameLumps)
        written = writeStagedGameLumps();
    else if (n && !n->pendingData)
        // Stored bytes, as writeCurrent() would take them; the disk starts on
        // a large lump while it is copied.
        written = m_map.writeStoredRaw(&m_temp, lump, true);
    else
        written = m_map.writeCurrent(&m_temp, lump);
    if (!written)
        return failWith(
            E::Bsp::lumpWrite(lump, bspLumpName(m_map.m_version, lump), m_map.lastError()));
    // A local file may have grown since its size was taken.
    if (m_temp.pos() > MaxMapSize)
        return failWith(E::Bsp::MapTooLarge);
    m_lumps[lump].length = qint32(m_temp.pos() - start);
    return true;
}

bool CBspRewrite::writeStagedGameLumps()
{
    // Small enough to stage whole: a directory and the props of one map.
    std::unique_ptr<QByteArray> bytes(m_map.readCurrent(F::GameLumpLump));
    if (!bytes)
        return false;
    // Bytes that hold no directory are written as given; the read-back
    // check refuses a map whose game lumps do not come out right.
    CDelegateBSP::moveGameLumps(*bytes, 0, bytes->size(), m_temp.pos());
    const qint64 written = m_temp.write(*bytes);
    return written == bytes->size() ||
           m_map.fail(E::shortWrite(bytes->size() - qMax<qint64>(written, 0), bytes->size(),
                                    E::deviceReason(&m_temp)));
}

bool CBspRewrite::writePakfile()
{
    const qint64 pakStart = m_temp.pos();
    m_lumps[F::PakfileLump].offset = qint32(pakStart);
    if (m_pakfileWhole) {
        if (!writeLump(F::PakfileLump))
            return false;
        processed();
        return true;
    }
    QByteArray data;
    for (int k = 0; k < m_entries.size(); ++k) {
        if (!stageFile(k, data) || !writeLocalEntry(k, data, pakStart))
            return false;
        processed();
        writeback();
    }
    data = QByteArray();
    const qint64 directoryStart = m_temp.pos();
    if (!writeCentralDirectory() || !writeEndRecord(pakStart, directoryStart))
        return false;
    m_lumps[F::PakfileLump].length = qint32(m_temp.pos() - pakStart);
    return true;
}

bool CBspRewrite::stageFile(int k, QByteArray &data)
{
    const CBspRewriteEntry &e = m_entries[k];
    const CPackageHierarchyNode *n = e.node;
    data.clear();
    if (n && n->pendingData && n->isReference)
        return stageReference(e, k, data);
    if (n && n->pendingData) {
        data = *n->pendingData;
        return true;
    }
    // Stored bytes as they lie: compressed files keep their raw data.
    if (!fault(Step::StoredRead, k) && readThroughWindow(e.index, data))
        return true;
    const bool read = fault(Step::StoredRead, k)
                          ? m_map.fail(shortCopy(DeviceError::ShortRead, dataSize(e)))
                          : m_map.readStoredRaw(e.index, data);
    if (!read)
        return failWith(E::Bsp::pakfileRead(entryPath(e), m_map.lastError()));
    return true;
}

bool CBspRewrite::readThroughWindow(int index, QByteArray &data)
{
    const CPakfileEntry *old = m_map.pakfileEntry(index);
    if (!old || !m_map.m_file.isOpen())
        return false;
    const qint64 start = old->dataOffset;
    const qint64 length = old->local.compressedSize;
    if (length > WindowSize)
        return false;
    const qint64 windowEnd = m_windowStart + m_window.size();
    if (start < m_windowStart || start + length > windowEnd) {
        // Files lie one after another: the next window starts at this one.
        m_window.resize(int(qMin(WindowSize, m_map.m_file.size() - start)));
        m_windowStart = -1;
        if (m_window.size() < length || !m_map.m_file.seek(start) ||
            m_map.m_file.read(m_window.data(), m_window.size()) != m_window.size())
            return false;
        m_windowStart = start;
    }
    data.resize(int(length));
    std::memcpy(data.data(), m_window.constData() + (start - m_windowStart), size_t(length));
    return true;
}

bool CBspRewrite::stageReference(const CBspRewriteEntry &e, int k, QByteArray &data)
{
    const QString local = e.node->referencedPath();
    QFile file(local);
    if (!file.open(QIODevice::ReadOnly))
        return failWith(E::Bsp::referencedOpen(local, entryPath(e)));
    // The file is read as it is now, not at the size noted when it was set.
    const qint64 size = file.size();
    if (size > MaxMapSize)
        return failWith(E::Bsp::MapTooLarge);
    data.reserve(int(size));
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (fault(Step::ReferencedRead, k) || !copyDevice(&file, &buffer, size))
        return failWith(E::Bsp::referencedRead(local, entryPath(e)));
    return true;
}

bool CBspRewrite::writeLocalEntry(int k, const QByteArray &data, qint64 pakStart)
{
    CBspRewriteEntry &e = m_entries[k];
    CZipCentralDirectoryHeader &r = e.record;
    if (!e.raw) {
        r.crc32 = computeCrc32(crc32Table(), data.constData(), data.size());
        r.uncompressedSize = quint32(data.size());
    }
    // The sizes a disagreeing directory entry gives stay as they were.
    if (!e.keepLocal)
        r.compressedSize = quint32(data.size());
    r.fileNameLength = quint16(r.fileName.size());
    r.extraFieldLength = quint16(r.extraField.size());
    r.commentLength = quint16(r.comment.size());
    const qint64 start = m_temp.pos();
    r.localHeaderOffset = quint32(start - pakStart);

    // The old directory's extra field goes into the local header too.
    const QByteArray header = ZipRecordWriter::localHeader(e.keepLocal ? e.local : r);
    const bool broken = fault(Step::LocalEntry, k);
    if (!broken)
        m_temp.write(header);
    e.dataOffset = quint32(m_temp.pos());
    if (!broken)
        m_temp.write(data);
    if (m_temp.pos() != start + header.size() + data.size())
        return failWith(E::Bsp::localEntryWrite(entryPath(e)));
    if (m_temp.pos() > MaxMapSize)
        return failWith(E::Bsp::MapTooLarge);
    return true;
}

bool CBspRewrite::writeCentralDirectory()
{
    for (int k = 0; k < m_entries.size(); ++k) {
        const qint64 start = m_temp.pos();
        const QByteArray entry = ZipRecordWriter::centralHeader(m_entries[k].record);
        if (!fault(Step::CentralEntry, k))
            m_temp.write(entry);
        if (m_temp.pos() != start + entry.size())
            return failWith(E::Bsp::centralEntryWrite(entryPath(m_entries[k])));
        processed();
    }
    return true;
}

bool CBspRewrite::writeEndRecord(qint64 pakStart, qint64 directoryStart)
{
    const qint64 start = m_temp.pos();
    m_directorySize = quint32(start - directoryStart);
    m_directoryOffset = quint32(directoryStart - pakStart);
    const quint16 count = quint16(m_entries.size());
    const QByteArray record =
        ZipRecordWriter::endRecord(m_map.m_zipDiskNumber, m_map.m_zipDirectoryDisk, count, count,
                                   m_directorySize, m_directoryOffset, m_map.m_zipComment);
    if (!fault(Step::EndRecord, 0))
        m_temp.write(record);
    if (m_temp.pos() != start + record.size())
        return failWith(E::Bsp::EndRecordWrite);
    if (m_temp.pos() > MaxMapSize)
        return failWith(E::Bsp::MapTooLarge);
    processed();
    return true;
}

bool CBspRewrite::writeHeader()
{
    QByteArray header;
    {
        QDataStream s(&header, QIODevice::WriteOnly);
        s.setByteOrder(QDataStream::LittleEndian);
        // A version-21 map in the older record layout stays in that layout.
        const int internal = m_map.m_version;
        const bool layoutB = internal == 21;
        s << F::Ident << qint32(internal == F::InternalVersionLayoutA ? 21 : internal);
        for (const CBspLump &l : m_lumps) {
            if (layoutB)
                s << l.version << l.offset << l.length;
            else
                s << l.offset << l.length << l.version;
            s.writeRawData(reinterpret_cast<const char *>(l.fourCC), 4);
        }
        s << m_map.m_mapRevision;
    }
    if (!m_temp.seek(0))
        return failWith(E::Bsp::HeaderWrite);
    if (!fault(Step::Header, 1))
        m_temp.write(header);
    if (m_temp.pos() != F::HeaderSize)
        return failWith(E::Bsp::HeaderWrite);
    return true;
}

bool CBspRewrite::finishTemporary()
{
    // Buffered bytes that cannot reach the disk (a full disk) show up only
    // here.
    if (fault(Step::FinishTemporary, 0) || !m_temp.flush() ||
        m_temp.error() != QFileDevice::NoError)
        return failWith(E::withReason(E::Bsp::TemporaryFinish, E::deviceReason(&m_temp)));
    // The new map is the user's file as the old one was (the open one: a map
    // deleted while open is saved anew).
    DurableFile::takeOwnership(m_temp.handle(), DurableFile::stateOf(m_map.m_file.handle()));
    // On the disk before it may take the map's name: a power cut must not
    // leave an empty map behind, nor one that its owner can no longer write.
    QString reason;
    if (fault(Step::SyncTemporary, 0) || !DurableFile::sync(m_temp, &reason))
        return failWith(E::withReason(E::Bsp::TemporarySync, reason));
    m_temp.close();
    return m_temp.error() == QFileDevice::NoError ||
           failWith(E::withReason(E::Bsp::TemporaryFinish, E::deviceReason(&m_temp)));
}

bool CBspRewrite::readBack()
{
    // A map that would not open again must not take the place of one that
    // does (a damaged game-lump directory can point past the new, smaller
    // file). Only what an open reads is read, no entry data, and no tree is
    // built (that cannot fail). Bytes given to
    // lump 40 as a whole are written as they are even when they are no
    // archive, so that pakfile is not read here.
    if (fault(Step::ReadBack, 0))
        return failWith(E::Bsp::readBack(QString::fromLatin1(E::FileOpen)));
    CDelegateBSP written;
    if (!written.openMap(m_temp.fileName(), true, !m_pakfileWhole, false))
        return failWith(E::Bsp::readBack(written.lastError()));
    // A written map that ends inside a lump would open cut, not whole.
    if (!written.cutLumps().isEmpty())
        return failWith(E::Bsp::readBack(E::Bsp::cutLumps(written.cutLumps())));
    // Game lumps outside lump 35 did not move with it: their bytes are no
    // longer what the map had (a static-prop offset landing in the header).
    // They are judged by the map's own offset convention.
    written.m_gameLumpsRelative = m_map.m_gameLumpsRelative;
    const int outside = written.gameLumpOutsideLump();
    if (outside >= 0)
        return failWith(E::Bsp::readBack(E::Bsp::gameLumpOutside(outside)));
    return true;
}

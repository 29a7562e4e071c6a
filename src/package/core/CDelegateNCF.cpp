#include "CDelegateNCF.h"

#include "ArchiveErrors.h"
#include "CBinaryReader.h"
#include "CCacheDirectoryEntry.h"
#include "CPackageExtraction.h"
#include "CPackageHierarchyNode.h"
#include "PackageErrors.h"
#include "PointerContainers.h"

#include <QtEndian>

#include <cstring>
#include <limits>
#include <vector>

namespace {

// Values after the checksums: a 128-byte signature block.
constexpr quint64 SignatureValues = 32;

} // namespace

CDelegateNCF::CDelegateNCF(QObject *parent)
    : IPackageDelegate(parent)
{}

CDelegateNCF::~CDelegateNCF()
{
    // The tree refers to nothing here, but drop it before the entries anyway.
    clearHierarchy();
    deleteAll(m_directoryEntries);
}

quint32 CDelegateNCF::fileHeader(int index) const
{
    return index >= 0 && index < FileHeaderValues ? m_fileHeader[index] : 0;
}

quint32 CDelegateNCF::directoryHeader(int index) const
{
    return index >= 0 && index < DirectoryHeaderValues ? m_directoryHeader[index] : 0;
}

void CDelegateNCF::clearDirectory()
{
    clearHierarchy();
    deleteAll(m_directoryEntries);
    std::fill(std::begin(m_fileHeader), std::end(m_fileHeader), 0u);
    std::fill(std::begin(m_directoryHeader), std::end(m_directoryHeader), 0u);
    m_names.clear();
    m_infoEntries.clear();
    m_itemInfoEntries.clear();
    m_copyEntries.clear();
    m_localEntries.clear();
    m_directoryMap.clear();
    m_checksumMap.clear();
    m_checksums.clear();
}

bool CDelegateNCF::readHeader(CBinaryReader &reader, quint32 *values, int count)
{
    for (int i = 0; i < count; ++i)
        values[i] = reader.u32();
    if (!reader.ok())
        return fail(ArchiveErrors::CacheHeader);
    return true;
}

bool CDelegateNCF::readValues(CBinaryReader &reader, quint64 count, QVector<quint32> &out,
                              const char *table)
{
    out.clear();
    if (count > quint64(std::numeric_limits<int>::max() / 4) || !reader.canHold(qint64(count), 4)) {
        reader.fail();
        return fail(ArchiveErrors::tableOutsideFile(QLatin1String(table)));
    }
    const QByteArray raw = reader.bytes(qint64(count) * 4);
    if (!reader.ok())
        return fail(ArchiveErrors::tableOutsideFile(QLatin1String(table)));
    out.resize(int(count));
    const uchar *p = reinterpret_cast<const uchar *>(raw.constData());
    for (int i = 0; i < int(count); ++i)
        out[i] = qFromLittleEndian<quint32>(p + 4 * i);
    return true;
}

bool CDelegateNCF::readDirectory(CBinaryReader &reader)
{
    if (!readHeader(reader, m_directoryHeader, DirectoryHeaderValues))
        return false;

    const quint32 items = m_directoryHeader[3];
    if (!reader.canHold(qint64(items), CCacheDirectoryEntry::RecordSize))
        return fail(ArchiveErrors::tableOutsideFile(QStringLiteral("Directory entry")));
    const QByteArray records = reader.bytes(qint64(items) * CCacheDirectoryEntry::RecordSize);
    if (!reader.ok())
        return fail(ArchiveErrors::tableOutsideFile(QStringLiteral("Directory entry")));
    m_directoryEntries.reserve(int(items));
    const uchar *p = reinterpret_cast<const uchar *>(records.constData());
    for (quint32 i = 0; i < items; ++i) {
        m_directoryEntries.append(new CCacheDirectoryEntry(
            CCacheDirectoryEntry::fromBytes(p + qint64(i) * CCacheDirectoryEntry::RecordSize)));
    }

    const quint32 nameSize = m_directoryHeader[7];
    if (!reader.canRead(qint64(nameSize)))
        return fail(PackageErrors::ItemNames);
    m_names = reader.bytes(qint64(nameSize));
    if (!reader.ok())
        return fail(PackageErrors::ItemNames);

    if (!readValues(reader, m_directoryHeader[8], m_infoEntries, "Info entry") ||
        !readValues(reader, items, m_itemInfoEntries, "Item info entry") ||
        !readValues(reader, m_directoryHeader[9], m_copyEntries, "Copy entry") ||
        !readValues(reader, m_directoryHeader[10], m_localEntries, "Local entry"))
        return false;
    if (!readHeader(reader, m_directoryMapHeader, 2) ||
        !readValues(reader, items, m_directoryMap, "Directory map"))
        return false;
    if (!readHeader(reader, m_checksumHeader, 2) || !readHeader(reader, m_checksumMapHeader, 4))
        return false;

    QVector<quint32> pairs;
    if (!readValues(reader, quint64(m_checksumMapHeader[2]) * 2, pairs, "Checksum map"))
        return false;
    m_checksumMap.resize(pairs.size() / 2);
    for (int i = 0; i < m_checksumMap.size(); ++i)
        m_checksumMap[i] = qMakePair(pairs[2 * i], pairs[2 * i + 1]);
    return readValues(reader, quint64(m_checksumMapHeader[3]) + SignatureValues, m_checksums,
                      "Checksum");
}

bool CDelegateNCF::open(const QString &path, bool readOnly)
{
    Q_UNUSED(readOnly)
    if (path.isEmpty())
        return fail(PackageErrors::InvalidFilePath);

    m_file.close();
    clearDirectory();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return fail(PackageErrors::FileOpen);

    CBinaryReader reader(&m_file);
    const bool read = readHeader(reader, m_fileHeader, FileHeaderValues) && readDirectory(reader);
    // Everything the delegate needs is in memory now.
    m_file.close();
    return read && buildHierarchy();
}

QString CDelegateNCF::itemName(quint32 offset) const
{
    if (qint64(offset) >= qint64(m_names.size()))
        return QString();
    const char *start = m_names.constData() + offset;
    const size_t left = qMin(size_t(m_names.size()) - offset, size_t(MaxPathLength) + 1);
    const void *nul = std::memchr(start, 0, left);
    const int length = nul ? int(static_cast<const char *>(nul) - start) : int(left);
    // Only so many bytes are looked at per item: a longer name is none.
    if (length > MaxPathLength)
        return QString();
    return QString::fromLatin1(start, length);
}

bool CDelegateNCF::buildHierarchy()
{
    clearHierarchy();
    const int count = m_directoryEntries.size();

    // Check pass: exactly one root, and no parent that is marked a leaf.
    int root = -1;
    for (int i = 0; i < count; ++i) {
        const quint32 parent = m_directoryEntries[i]->parentIndex;
        if (parent == CCacheDirectoryEntry::NoParent) {
            if (root >= 0)
                return fail(PackageErrors::MultipleRoots);
            root = i;
            continue;
        }
        if (parent >= quint32(count))
            return fail(ArchiveErrors::parentOutOfRange(quint32(i)));
        if (m_directoryEntries[int(parent)]->directoryFlags & CCacheDirectoryEntry::LeafFlag)
            return fail(PackageErrors::ParentIsLeaf);
    }
    if (root < 0)
        return fail(PackageErrors::NoRoot);

    // Which items reach the root through their parents. Each item joins one
    // walk only, so a hostile directory full of cycles costs linear time.
    enum : quint8
    {
        Unknown,
        Reaches,
        Stranded,
        OnWalk
    };
    std::vector<quint8> state(size_t(count), Unknown);
    // Levels below the root; a tree deeper than MaxTreeDepth is set aside
    // there, since every insert updates the counts of all ancestors.
    std::vector<int> depth(size_t(count), 0);
    state[size_t(root)] = Reaches;
    std::vector<int> walk;
    for (int i = 0; i < count; ++i) {
        walk.clear();
        int j = i;
        while (state[size_t(j)] == Unknown) {
            state[size_t(j)] = OnWalk;
            walk.push_back(j);
            j = int(m_directoryEntries[j]->parentIndex);
        }
        const bool reaches = state[size_t(j)] == Reaches;
        for (size_t k = walk.size(); k-- > 0;) {
            const int w = walk[k];
            const int level = depth[size_t(j)] + int(walk.size() - k);
            depth[size_t(w)] = level;
            state[size_t(w)] = reaches && level <= MaxTreeDepth ? Reaches : Stranded;
        }
    }

    m_nodes.resize(count);
    for (int i = 0; i < count; ++i) {
        auto *node = new CPackageHierarchyNode;
        if (m_directoryEntries[i]->isFolder() || i == root)
            node->makeFolder();
        node->entryIndex = i;
        node->owner = this;
        m_nodes[i] = node;
    }
    m_rootNode = m_nodes[root];
    m_rootNode->setName(QStringLiteral("root"));

    std::vector<CPackageHierarchyNode *> setAside;
    for (int i = 0; i < count; ++i) {
        if (i == root)
            continue;
        CPackageHierarchyNode *node = m_nodes[i];
        const QString name = itemName(m_directoryEntries[i]->nameOffset);
        bool placed = state[size_t(i)] == Reaches && CPackageExtraction::isSafeName(name) &&
                      node->setName(name);
        if (placed) {
            CPackageHierarchyNode *parent = m_nodes[int(m_directoryEntries[i]->parentIndex)];
            placed = parent->isFolder() && parent->addChild(node, -1);
        }
        if (!placed)
            setAside.push_back(node);
    }

    // Set-aside nodes are attached to nothing; what was attached below them
    // goes with them.
    for (auto it = setAside.rbegin(); it != setAside.rend(); ++it) {
        dropFromTable(*it);
        delete *it;
    }
    return true;
}

bool CDelegateNCF::flush(FlushSyncronizer *syncronizer)
{
    return refuseFlush(syncronizer);
}

bool CDelegateNCF::hasFile(int index) const
{
    if (index < 0 || index >= m_directoryEntries.size())
        return false;
    const CPackageHierarchyNode *n = node(index);
    return n && n->isLeaf();
}

int CDelegateNCF::storedSize(int index) const
{
    if (!hasFile(index))
        return 0;
    return int(
        qMin(qint64(m_directoryEntries[index]->itemSize), qint64(std::numeric_limits<int>::max())));
}

int CDelegateNCF::sizeOnDisk(int index) const
{
    Q_UNUSED(index)
    return 0;
}

bool CDelegateNCF::writeStored(QIODevice *device, int index)
{
    Q_UNUSED(device)
    Q_UNUSED(index)
    return fail(PackageErrors::NcfHasNoData);
}

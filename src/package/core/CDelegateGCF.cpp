#include "CDelegateGCF.h"

#include "ArchiveErrors.h"
#include "CBinaryReader.h"
#include "CCacheDirectoryEntry.h"
#include "CPackageHierarchyNode.h"
#include "PackageErrors.h"
#include "functions.h"

#include <QSet>

#include <limits>

CDelegateGCF::CDelegateGCF(QObject *parent)
    : CDelegateNCF(parent)
{}

CDelegateGCF::~CDelegateGCF()
{
    m_file.close();
}

void CDelegateGCF::close()
{
    m_file.close();
}

void CDelegateGCF::clearBlocks()
{
    std::fill(std::begin(m_blockEntryHeader), std::end(m_blockEntryHeader), 0u);
    std::fill(std::begin(m_fragmentationMapHeader), std::end(m_fragmentationMapHeader), 0u);
    std::fill(std::begin(m_dataBlockHeader), std::end(m_dataBlockHeader), 0u);
    m_blockEntries.clear();
    m_fragmentationMap.clear();
}

bool CDelegateGCF::open(const QString &path, bool readOnly)
{
    Q_UNUSED(readOnly)
    if (path.isEmpty())
        return fail(PackageErrors::InvalidFilePath);

    close();
    clearDirectory();
    clearBlocks();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return fail(PackageErrors::FileOpen);

    auto failClosed = [this](const QString &text) {
        close();
        return fail(text);
    };

    CBinaryReader reader(&m_file);
    if (!readHeader(reader, m_fileHeader, FileHeaderValues)) {
        close();
        return false;
    }
    // Every block offset and rounded size divides or multiplies by it.
    if (blockSize() == 0)
        return failClosed(ArchiveErrors::BlockSizeZero);

    if (!readHeader(reader, m_blockEntryHeader, 8)) {
        close();
        return false;
    }
    const quint32 blocks = blockCount();
    if (!reader.canHold(qint64(blocks), CCacheBlockEntry::RecordSize))
        return failClosed(ArchiveErrors::tableOutsideFile(QStringLiteral("Block entry")));
    const QByteArray records = reader.bytes(qint64(blocks) * CCacheBlockEntry::RecordSize);
    if (!reader.ok())
        return failClosed(ArchiveErrors::tableOutsideFile(QStringLiteral("Block entry")));
    m_blockEntries.resize(int(blocks));
    const uchar *p = reinterpret_cast<const uchar *>(records.constData());
    for (quint32 i = 0; i < blocks; ++i)
        m_blockEntries[int(i)] =
            CCacheBlockEntry::fromBytes(p + qint64(i) * CCacheBlockEntry::RecordSize);

    if (!readHeader(reader, m_fragmentationMapHeader, 4) ||
        !readValues(reader, blocks, m_fragmentationMap, "Fragmentation map") ||
        !readDirectory(reader) || !readHeader(reader, m_dataBlockHeader, 6)) {
        close();
        return false;
    }

    if (qint64(dataOffset()) > m_file.size() || !m_file.seek(qint64(dataOffset())))
        return failClosed(PackageErrors::StreamSeekError);

    if (!buildHierarchy()) {
        close();
        return false;
    }
    return true;
}

int CDelegateGCF::sizeOnDisk(int index) const
{
    const qint64 bytes = size(index);
    const qint64 block = blockSize();
    if (bytes <= 0 || block == 0)
        return 0;
    const qint64 rounded = (bytes + block - 1) / block * block;
    return int(qMin(rounded, qint64(std::numeric_limits<int>::max())));
}

bool CDelegateGCF::writeStored(QIODevice *device, int index)
{
    if (!m_file.isOpen())
        return fail(PackageErrors::FileNotOpen);
    if (!device)
        return fail(PackageErrors::DeviceInvalid);
    if (!device->isOpen())
        return fail(PackageErrors::DeviceNotOpen);
    if (!device->isWritable())
        return fail(PackageErrors::DeviceNotWritable);
    if (!hasFile(index))
        return fail(PackageErrors::FileIndexOutOfBounds);
    const CCacheDirectoryEntry &item = *m_directoryEntries[index];
    if (item.isFolder())
        return fail(PackageErrors::EntryNotFile);
    // Encrypted blocks would come out as ciphertext under the file's name.
    if (item.isEncrypted())
        return fail(ArchiveErrors::entryEncrypted(index));

    const quint64 wanted = item.itemSize;
    if (wanted == 0)
        return true;
    const quint32 blocks = blockCount();
    quint32 blockEntry = m_directoryMap.value(index, blocks);
    if (blockEntry >= blocks)
        return fail(PackageErrors::EntryHasNoData);

    const quint64 block = blockSize();
    const quint32 end = terminator();
    const qint64 fileSize = m_file.size();
    QSet<quint32> seenEntries;
    QSet<quint32> seenBlocks;
    quint64 copied = 0;
    while (copied < wanted && blockEntry < blocks) {
        if (seenEntries.contains(blockEntry))
            return fail(ArchiveErrors::blockChainLoops(index));
        seenEntries.insert(blockEntry);
        const CCacheBlockEntry &entry = m_blockEntries[int(blockEntry)];
        quint64 entryLeft = qMin(quint64(entry.dataSize), wanted - copied);
        quint32 k = entry.firstDataBlock;
        while (entryLeft > 0 && k != end) {
            if (k >= blocks)
                return fail(ArchiveErrors::blockOutOfRange(index, k));
            if (seenBlocks.contains(k))
                return fail(ArchiveErrors::blockChainLoops(index));
            seenBlocks.insert(k);
            const quint64 n = qMin(block, entryLeft);
            const quint64 at = quint64(dataOffset()) + quint64(k) * block;
            if (at > quint64(fileSize) || !m_file.seek(qint64(at)))
                return fail(PackageErrors::ReadSeekError);
            if (!copyDevice(&m_file, device, qint64(n), &m_lastError))
                return false;
            copied += n;
            entryLeft -= n;
            k = m_fragmentationMap[int(k)];
        }
        blockEntry = entry.nextBlockEntry;
    }
    if (copied != wanted)
        return fail(PackageErrors::ReadIncompleteRead);
    return true;
}

QPair<int, int> CDelegateGCF::blockFragments(CPackageHierarchyNode *node)
{
    if (!node || !node->isLeaf() || blockSize() == 0)
        return qMakePair(0, 0);
    const int index = node->entryIndex;
    const int blockTotal = int(qint64(sizeOnDisk(index)) / qint64(blockSize()));
    if (blockTotal == 0)
        return qMakePair(0, 0);

    // Walk every block entry of the file and the chain of each; a break is a
    // step to any block but the next one. Tables read from the file bound the
    // walk: every entry and block is visited once at most.
    const quint32 blocks = blockCount();
    const quint32 end = terminator();
    int fragments = 0;
    quint32 blockEntry = m_directoryMap.value(index, blocks);
    QSet<quint32> seenEntries;
    QSet<quint32> seenBlocks;
    bool havePrevious = false;
    quint32 previous = 0;
    while (blockEntry < blocks && !seenEntries.contains(blockEntry)) {
        seenEntries.insert(blockEntry);
        const CCacheBlockEntry &entry = m_blockEntries[int(blockEntry)];
        quint32 k = entry.firstDataBlock;
        while (k != end && k < blocks && !seenBlocks.contains(k)) {
            seenBlocks.insert(k);
            if (havePrevious && k != previous + 1)
                ++fragments;
            havePrevious = true;
            previous = k;
            k = m_fragmentationMap[int(k)];
        }
        blockEntry = entry.nextBlockEntry;
    }
    return qMakePair(fragments, blockTotal);
}

float CDelegateGCF::fragmentation(CPackageHierarchyNode *node)
{
    if (!node)
        return 0.0f;
    if (node->isLeaf()) {
        if (!hasFile(node->entryIndex))
            return 0.0f;
        const QPair<int, int> figures = blockFragments(node);
        return figures.second ? float(figures.first) / float(figures.second) * 100.0f : 0.0f;
    }
    qint64 fragments = 0;
    qint64 blocks = 0;
    for (CHierarchyNode *below : node->files(-1)) {
        auto *file = static_cast<CPackageHierarchyNode *>(below);
        if (!hasFile(file->entryIndex))
            continue;
        const QPair<int, int> figures = blockFragments(file);
        fragments += figures.first;
        blocks += figures.second;
    }
    return blocks ? float(fragments) / float(blocks) * 100.0f : 0.0f;
}

float CDelegateGCF::fragmentation(int index)
{
    return hasFile(index) ? fragmentation(node(index)) : 0.0f;
}

float CDelegateGCF::fragmentation(const QString &path)
{
    // A folder's figure is its own, not that of its (file-less) entry.
    return fragmentation(findNode(path));
}

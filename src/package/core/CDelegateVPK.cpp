#include "CDelegateVPK.h"

#include "ArchiveErrors.h"
#include "CBinaryReader.h"
#include "CPackageHierarchyNode.h"
#include "CVPKDirectoryEntry.h"
#include "PackageErrors.h"
#include "PointerContainers.h"
#include "functions.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

const QString DirectorySuffix = QStringLiteral("_dir.vpk");
// Archive data is copied in pieces of this size, so a large entry never needs
// its whole length in memory.
constexpr qint64 CopyChunk = 1 << 20;
// The tree is parsed from memory; a directory file larger than this is read
// only up to here (no real tree comes near it).
constexpr qint64 MaxTreeBytes = std::numeric_limits<int>::max();

// A component that extraction could not use as a file name inside its folder.
bool isUnsafeComponent(const QString &part)
{
    return part == QLatin1String(".") || part == QLatin1String("..");
}

} // namespace

CDelegateVPK::CDelegateVPK(QObject *parent)
    : IPackageDelegate(parent)
{
    m_entries.reserve(32768);
}

CDelegateVPK::~CDelegateVPK()
{
    deleteAll(m_entries);
}

quint32 CDelegateVPK::headerExtra(int index) const
{
    return index >= 0 && index < 4 ? m_headerExtra[index] : 0;
}

QString CDelegateVPK::fileName() const
{
    return m_openedPath;
}

void CDelegateVPK::close()
{
    m_file.close();
}

bool CDelegateVPK::open(const QString &path, bool readOnly)
{
    Q_UNUSED(readOnly)
    if (path.isEmpty())
        return fail(PackageErrors::InvalidFilePath);

    close();
    clearHierarchy();
    deleteAll(m_entries);
    m_openedPath = path;
    m_resolvedArchives.clear();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return fail(PackageErrors::FileOpen);

    // Numbered archives sit beside the directory file and share its name up to
    // "_dir.vpk"; only the file name itself is searched, so an archive can
    // never be looked for outside the directory file's folder.
    const QFileInfo info(path);
    const QString name = info.fileName();
    const int suffixAt = name.lastIndexOf(DirectorySuffix, -1, Qt::CaseInsensitive);
    m_isMultiArchive = suffixAt >= 0;
    m_archiveBase.clear();
    if (m_isMultiArchive)
        m_archiveBase = path.left(path.size() - name.size() + suffixAt);

    m_complete = true;
    m_setAside = 0;
    std::fill(std::begin(m_headerExtra), std::end(m_headerExtra), 0u);

    CBinaryReader header(&m_file);
    m_signature = header.u32();
    qint64 treeStart = 0;
    if (header.ok() && m_signature == Signature) {
        m_hasSignature = true;
        m_version = header.u32();
        m_treeSize = header.u32();
        if (m_version == 2) {
            for (quint32 &value : m_headerExtra)
                value = header.u32();
        }
        if (!header.ok()) {
            close();
            return fail(ArchiveErrors::VpkHeader);
        }
        if (m_version == 2)
            emit notice(QStringLiteral("Footer Length"), QString::number(m_headerExtra[1]));
        if (m_version > 2) {
            close();
            return fail(PackageErrors::TooNew);
        }
        treeStart = header.pos();
        m_dataStart = treeStart + qint64(m_treeSize);
    } else {
        m_hasSignature = false;
        m_signature = 0;
        m_version = 0;
        m_treeSize = 0;
        if (!m_file.seek(0)) {
            close();
            return fail(PackageErrors::StreamSeekError);
        }
    }

    // Strings may run to the end of the file, so the tree is read from its
    // start to the file's end; mapping avoids copying data stored after it.
    const qint64 available = qMin(m_file.size() - treeStart, MaxTreeBytes);
    uchar *mapped = available > 0 ? m_file.map(treeStart, available) : nullptr;
    QByteArray tree;
    if (mapped) {
        tree = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), int(available));
    } else if (available > 0 && m_file.seek(treeStart)) {
        tree = m_file.read(available);
    }
    readTree(tree);
    if (mapped) {
        tree.clear();
        m_file.unmap(mapped);
    }
    return buildHierarchy();
}

void CDelegateVPK::readTree(const QByteArray &tree)
{
    const char *data = tree.constData();
    CBinaryReader reader(tree);

    // A string ends at a NUL or at the end of the file; only a string that is
    // empty as read ends a level.
    auto nextString = [&](QString &out) {
        const qint64 at = reader.pos();
        const qint64 left = reader.remaining();
        const void *nul = left > 0 ? std::memchr(data + at, 0, size_t(left)) : nullptr;
        const qint64 length = nul ? static_cast<const char *>(nul) - (data + at) : left;
        out = QString::fromLatin1(data + at, int(length));
        reader.skip(nul ? length + 1 : length);
        return length > 0;
    };

    QString extension, folder, name;
    while (nextString(extension)) {
        const QString ext = extension.trimmed();
        while (nextString(folder)) {
            const QString folderPath = trimmedPath(folder.trimmed());
            while (nextString(name)) {
                auto *entry = new CVPKDirectoryEntry;
                if (!entry->read(reader)) {
                    // A record cut short: keep what came before it.
                    delete entry;
                    m_complete = false;
                    fail(PackageErrors::ReadIncompleteRead);
                    return;
                }
                entry->path = folderPath;
                // Left blank (and so set aside) when too long: the extension
                // is shared by every file of its group.
                if (folderPath.size() + name.size() + ext.size() < MaxPathLength) {
                    entry->fileName = name.trimmed();
                    if (!ext.isEmpty())
                        entry->fileName += QLatin1Char('.') + ext;
                }
                m_entries.append(entry);
            }
        }
    }
    // A directory without header records no tree size; its own data, if any,
    // is taken to follow the tree.
    if (!m_hasSignature)
        m_dataStart = reader.pos();
}

bool CDelegateVPK::buildHierarchy()
{
    clearHierarchy();
    m_setAside = 0;
    m_rootNode = new CPackageHierarchyNode;
    m_rootNode->makeFolder();
    m_rootNode->setName(QStringLiteral("root"));
    m_rootNode->owner = this;
    m_nodes.reserve(m_entries.size());

    for (int i = 0; i < m_entries.size(); ++i) {
        const CVPKDirectoryEntry *entry = m_entries[i];
        // The folder path is shared by every file of its group: a long one is
        // refused before it is split once per file.
        if (entry->path.size() + entry->fileName.size() >= MaxPathLength) {
            ++m_setAside;
            m_nodes.append(nullptr);
            continue;
        }
        const QStringList parts = splitPath(entry->path + QLatin1Char('/') + entry->fileName);
        // Every insert updates the counts of all ancestors: a hostile path of
        // thousands of levels would make building the tree quadratic.
        const bool unsafe = parts.size() > MaxTreeDepth ||
                            std::any_of(parts.begin(), parts.end(), isUnsafeComponent);
        // A blank name would make its folder path name a file.
        if (unsafe || parts.isEmpty() || entry->fileName.trimmed().isEmpty()) {
            ++m_setAside;
            m_nodes.append(nullptr);
            continue;
        }
        CPackageHierarchyNode *node = m_rootNode->createPath(parts, true);
        if (!node) {
            clearHierarchy();
            return fail(PackageErrors::MalformedDirectory);
        }
        // A path listed twice names one file, which carries the later record;
        // the earlier record's slot is emptied so no node sits in the table
        // twice.
        if (node->entryIndex >= 0 && node->entryIndex < m_nodes.size())
            m_nodes[node->entryIndex] = nullptr;
        node->entryIndex = m_nodes.size();
        node->owner = this;
        m_nodes.append(node);
    }
    return true;
}

bool CDelegateVPK::flush(FlushSyncronizer *syncronizer)
{
    return refuseFlush(syncronizer);
}

bool CDelegateVPK::hasFile(int index) const
{
    return index >= 0 && index < m_entries.size();
}

int CDelegateVPK::storedSize(int index) const
{
    if (!hasFile(index))
        return 0;
    return int(qMin(m_entries[index]->totalSize(), qint64(std::numeric_limits<int>::max())));
}

int CDelegateVPK::sizeOnDisk(int index) const
{
    return size(index);
}

QString CDelegateVPK::archivePath(int archiveIndex) const
{
    if (!m_isMultiArchive || m_archiveBase.isEmpty())
        return QString();
    return m_archiveBase + QStringLiteral("_%1.vpk").arg(archiveIndex, 3, 10, QLatin1Char('0'));
}

QString CDelegateVPK::dataFilePath(const CVPKDirectoryEntry &entry)
{
    if (entry.isInDirectoryFile())
        return m_openedPath;
    const int index = entry.archiveIndex;
    const auto known = m_resolvedArchives.constFind(index);
    if (known != m_resolvedArchives.constEnd())
        return known.value();

    const QString wanted = archivePath(index);
    if (QFileInfo::exists(wanted)) {
        m_resolvedArchives.insert(index, wanted);
        return wanted;
    }
    // Packages copied from case-insensitive systems keep names such as
    // "pak01_DIR.vpk" beside "pak01_000.vpk".
    const QFileInfo wantedInfo(wanted);
    const QDir folder = wantedInfo.dir();
    const QString wantedName = wantedInfo.fileName();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    QString found = wanted;
    for (const QString &candidate : names) {
        if (candidate.compare(wantedName, Qt::CaseInsensitive) == 0) {
            found = folder.filePath(candidate);
            break;
        }
    }
    // A missing archive is remembered too: extracting many of its entries
    // must not list the folder once per entry.
    m_resolvedArchives.insert(index, found);
    return found;
}

bool CDelegateVPK::writeStored(QIODevice *device, int index)
{
    if (!device)
        return fail(PackageErrors::DeviceInvalid);
    if (!device->isOpen())
        return fail(PackageErrors::DeviceNotOpen);
    if (!device->isWritable())
        return fail(PackageErrors::DeviceNotWritable);
    if (!hasFile(index))
        return fail(PackageErrors::FileIndexOutOfBounds);

    const CVPKDirectoryEntry &entry = *m_entries[index];
    if (!entry.preloadData.isEmpty() &&
        device->write(entry.preloadData) != qint64(entry.preloadData.size()))
        return fail(PackageErrors::StreamIncompleteWrite);
    if (entry.length == 0)
        return true;

    if (!entry.isInDirectoryFile() && archivePath(entry.archiveIndex).isEmpty())
        return fail(PackageErrors::VpkSegmentationName);
    const QString dataPath = dataFilePath(entry);

    if (m_file.fileName() != dataPath) {
        m_file.close();
        m_file.setFileName(dataPath);
    }
    if (!m_file.isOpen())
        m_file.open(QIODevice::ReadOnly);
    if (!m_file.isOpen() || !m_file.isReadable()) {
        return fail(QFileInfo::exists(dataPath) ? PackageErrors::PackageOpen
                                                : PackageErrors::PackageMissing);
    }

    const qint64 start =
        entry.isInDirectoryFile() ? m_dataStart + qint64(entry.offset) : qint64(entry.offset);
    return copyData(device, start, qint64(entry.length));
}

bool CDelegateVPK::copyData(QIODevice *device, qint64 start, qint64 length)
{
    // Offsets come from the directory: check them against the data file's
    // real size before seeking or reading.
    const qint64 fileSize = m_file.size();
    if (start > fileSize || !m_file.seek(start))
        return fail(PackageErrors::StreamSeekError);
    if (length > fileSize - start)
        return fail(PackageErrors::StreamIncompleteRead);

    QByteArray chunk;
    for (qint64 left = length; left > 0;) {
        const qint64 n = qMin(left, CopyChunk);
        chunk.resize(int(n));
        if (m_file.read(chunk.data(), n) != n)
            return fail(PackageErrors::StreamIncompleteRead);
        if (device->write(chunk.constData(), n) != n)
            return fail(PackageErrors::StreamIncompleteWrite);
        left -= n;
    }
    return true;
}

#include "CDelegateVPK.h"

#include "ArchiveErrors.h"
#include "CBinaryReader.h"
#include "CPackageHierarchyNode.h"
#include "CVPKDirectoryEntry.h"
#include "CVPKTreeReader.h"
#include "PackageErrors.h"
#include "PointerContainers.h"
#include "functions.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Latin-1 text without ASCII white space at its ends (UTF-8 names end in
// bytes such as 0xA0 that Latin-1 calls spaces).
struct Latin1
{
    const char *text;
    int length;

    Latin1 trimmed() const
    {
        const auto space = [](char c) { return isAsciiSpace(c); };
        int begin = 0;
        int end = length;
        while (begin < end && space(text[begin]))
            ++begin;
        while (end > begin && space(text[end - 1]))
            --end;
        return {text + begin, end - begin};
    }
    void copyTo(QChar *&out) const
    {
        for (int i = 0; i < length; ++i)
            *out++ = QLatin1Char(text[i]);
    }
};

// A name with a separator in it names a file in a folder below its own.
bool hasSeparator(const QString &name)
{
    return std::any_of(name.begin(), name.end(),
                       [](QChar c) { return c == QLatin1Char('/') || c == QLatin1Char('\\'); });
}

const QString DirectorySuffix = QStringLiteral("_dir.vpk");
// Archive data is copied in pieces of this size, so a large entry never needs
// its whole length in memory.
constexpr qint64 CopyChunk = 1 << 20;
// The tree is parsed from memory; a directory file larger than this is read
// only up to here (no real tree comes near it).
constexpr qint64 MaxTreeBytes = std::numeric_limits<int>::max();

// Nothing but white space: what trims to nothing.
bool isBlank(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return isAsciiSpace(c); });
}

// Files left out for their paths that the open's warning names.
constexpr int NamedUnsafePaths = 5;
constexpr int MaxWarnedNameLength = IPackageDelegate::MaxWarnedNameLength;

// A path as the warning quotes it.
QString warnedPath(const QString &folder, const QString &name)
{
    const QString path =
        folder.isEmpty() ? name : folder.left(MaxWarnedNameLength) + QLatin1Char('/') + name;
    return path.left(MaxWarnedNameLength);
}

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
    // The tree before the entries its names share.
    clearHierarchy();
    clearEntries();
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
    clearEntries();
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
        // Without a header the file would be read as a bare directory tree;
        // a numbered archive holds only file data, which would show as a
        // tree of garbage.
        static const QRegularExpression numbered(QStringLiteral("^(.*)_\\d{3,}\\.vpk$"),
                                                 QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch archive = numbered.match(name);
        if (archive.hasMatch()) {
            close();
            return fail(ArchiveErrors::vpkDataArchive(name, archive.captured(1) +
                                                                QStringLiteral("_dir.vpk")));
        }
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
    // start up to the file's end, in pieces.
    const qint64 available = qMin(m_file.size() - treeStart, MaxTreeBytes);
    CVPKTreeReader tree(&m_file, available > 0 && m_file.seek(treeStart) ? available : 0);
    readTree(tree);
    // Read without a header, any file gives some tree: only one that holds a
    // whole record is taken for a directory (not a text file, say).
    if (!m_hasSignature && m_entries.isEmpty()) {
        close();
        return fail(ArchiveErrors::VpkHeader);
    }
    // Room reserved while the count was unknown is returned before the tree
    // takes its share.
    m_entries.squeeze();
    if (!buildHierarchy())
        return false;
    reportWarnings();
    return true;
}

CVPKDirectoryEntry *CDelegateVPK::newEntry()
{
    // Entries live in blocks: one allocation per few thousand entries
    // instead of one each.
    constexpr int BlockSize = 4096;
    if (m_entryBlocks.empty() || m_blockUsed == BlockSize) {
        m_entryBlocks.emplace_back(new CVPKDirectoryEntry[BlockSize]);
        m_blockUsed = 0;
    }
    return &m_entryBlocks.back()[m_blockUsed++];
}

void CDelegateVPK::clearEntries()
{
    m_entries.clear();
    m_entryBlocks.clear();
    m_blockUsed = 0;
}

void CDelegateVPK::readTree(CVPKTreeReader &tree)
{
    // A string ends at a NUL or at the end of the file; only a string that is
    // empty as read ends a level. The end of the file before that string cuts
    // the tree short, as a record cut short does: what came before is kept.
    const auto cutShort = [this] {
        m_complete = false;
        fail(PackageErrors::ReadIncompleteRead);
    };
    m_longPaths.clear();
    int length = 0;
    const char *text = nullptr;
    const auto next = [&] {
        text = tree.nextString(&length);
        if (!text)
            cutShort();
        return length > 0;
    };
    while (next()) {
        const Latin1 trimmedExtension = Latin1{text, length}.trimmed();
        const QByteArray ext(trimmedExtension.text, trimmedExtension.length);
        const Latin1 extension{ext.constData(), ext.size()};
        while (next()) {
            const Latin1 folder = Latin1{text, length}.trimmed();
            const QString folderPath = trimmedPath(QString::fromLatin1(folder.text, folder.length));
            while (next()) {
                const Latin1 name = Latin1{text, length}.trimmed();
                // The record may move the buffer: the name is taken first. A
                // path too long to extract is left blank (and so set aside)
                // before anything is copied: the extension and folder are
                // shared by every file of their group.
                const bool tooLong =
                    qint64(folder.length) + name.length + ext.size() >= MaxPathLength;
                const int size = tooLong ? 0 : name.length + (ext.isEmpty() ? 0 : 1 + ext.size());
                QString fileName(size, Qt::Uninitialized);
                QChar *out = fileName.data();
                if (!tooLong) {
                    name.copyTo(out);
                    if (!ext.isEmpty()) {
                        *out++ = QLatin1Char('.');
                        extension.copyTo(out);
                    }
                }
                // Of a path too long to keep, the warning quotes the head.
                QString longPath;
                if (tooLong && m_longPaths.size() < NamedUnsafePaths) {
                    QString head =
                        QString::fromLatin1(name.text, qMin(name.length, MaxWarnedNameLength));
                    if (!ext.isEmpty())
                        head +=
                            QLatin1Char('.') + QString::fromLatin1(ext.left(MaxWarnedNameLength));
                    longPath = warnedPath(folderPath, head);
                }
                const char *record = tree.take(CVPKDirectoryEntry::RecordSize);
                CVPKDirectoryEntry *entry = record ? newEntry() : nullptr;
                const char *preload = entry ? tree.take(entry->readFixed(record)) : nullptr;
                if (!preload) {
                    cutShort();
                    if (entry)
                        --m_blockUsed;
                    return;
                }
                if (entry->preloadCount != 0)
                    entry->preloadData = QByteArray(preload, entry->preloadCount);
                entry->path = folderPath;
                // Name, "." and extension in one string, which the tree node
                // shares.
                entry->fileName = std::move(fileName);
                if (tooLong && m_longPaths.size() < NamedUnsafePaths)
                    m_longPaths.insert(m_entries.size(), longPath);
                m_entries.append(entry);
            }
        }
    }
    // A directory without header records no tree size; its own data, if any,
    // is taken to follow the tree.
    if (!m_hasSignature)
        m_dataStart = tree.pos();
}

bool CDelegateVPK::buildHierarchy()
{
    clearHierarchy();
    clearWarnings();
    m_setAside = 0;
    m_rootNode = new CPackageHierarchyNode;
    m_rootNode->makeFolder();
    m_rootNode->setName(QStringLiteral("root"));
    m_rootNode->owner = this;
    m_nodes.reserve(m_entries.size());

    // Entries come grouped by folder: the folder's components, whether they
    // are safe, and its node are worked out once per group. The folder node
    // is made only when the group's first placeable file needs it, as a
    // walk from the root would.
    const QString *groupPath = nullptr;
    int groupSize = 0;
    QStringList folderParts;
    bool folderUnsafe = false;
    bool folderResolved = false;
    CPackageHierarchyNode *folder = nullptr;
    // Files whose paths cannot be extracted safely, said once at the end.
    int unsafe = 0;
    QStringList unsafeNamed;

    for (int i = 0; i < m_entries.size(); ++i) {
        const CVPKDirectoryEntry *entry = m_entries[i];
        if (!groupPath || (!groupPath->isSharedWith(entry->path) && *groupPath != entry->path)) {
            groupPath = &entry->path;
            groupSize = 1;
            while (i + groupSize < m_entries.size() &&
                   m_entries[i + groupSize]->path.isSharedWith(entry->path))
                ++groupSize;
            folderParts = splitPath(entry->path);
            folderUnsafe = std::any_of(folderParts.begin(), folderParts.end(), isUnsafeComponent);
            folderResolved = false;
        }
        const QString &name = entry->fileName;
        const bool plainName = !hasSeparator(name);
        // A name with separators adds levels below the group's folder; the
        // group's components are never split again.
        const QStringList nameParts = plainName ? QStringList() : splitPath(name);
        const int depth = folderParts.size() + (plainName ? 1 : nameParts.size());
        // Every insert updates the counts of all ancestors: a hostile path
        // of thousands of levels would make building the tree quadratic. A
        // blank name would make its folder path name a file.
        const bool placeable =
            !folderUnsafe && depth <= MaxTreeDepth && depth > 0 &&
            (plainName ? !isUnsafeComponent(name)
                       : std::none_of(nameParts.begin(), nameParts.end(), isUnsafeComponent)) &&
            !isBlank(name);
        if (!placeable && unsafe++ < NamedUnsafePaths)
            unsafeNamed.append(m_longPaths.value(i, warnedPath(entry->path, name)));
        CPackageHierarchyNode *node = nullptr;
        if (placeable && !folderResolved) {
            folder =
                folderParts.isEmpty() ? m_rootNode : m_rootNode->createPath(folderParts, false);
            folderResolved = true;
            if (folder)
                folder->reserveChildren(groupSize);
        }
        if (placeable && folder)
            node =
                plainName ? folder->createChild(name, true) : folder->createPath(nameParts, true);
        if (placeable && !node) {
            // "a" beside "a/b.txt": one of them cannot be shown, the rest can.
            // The text is only made while it is kept.
            const QStringList parts =
                plainName ? folderParts + QStringList(name) : folderParts + nameParts;
            addWarning(warningsFull()
                           ? QString()
                           : PackageErrors::folderClash("Package", parts.join(QLatin1Char('/'))));
        }
        if (!node) {
            ++m_setAside;
            m_nodes.append(nullptr);
            continue;
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
    if (unsafe > 0)
        addWarning(PackageErrors::unsafePaths(unsafe, unsafeNamed));
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

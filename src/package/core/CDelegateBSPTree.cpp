// The package tree of a map: the lumps in a folder "lumps", the pakfile
// files under their own paths.
#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "PackageErrors.h"
#include "functions.h"

namespace E = PackageErrors;
namespace F = BspFormat;

namespace {
// The node's path below the root is exactly these components.
bool hasPath(const CPackageHierarchyNode *n, const QStringList &parts)
{
    int i = parts.size();
    for (; n && n->parent(); n = n->parent()) {
        if (--i < 0 || n->name() != parts[i])
            return false;
    }
    return i == 0;
}
} // namespace

bool CDelegateBSP::buildHierarchy()
{
    clearHierarchy();
    m_rootNode = new CPackageHierarchyNode();
    m_rootNode->setName(QStringLiteral("root"));
    m_rootNode->makeFolder();
    m_rootNode->owner = this;
    auto *lumps = new CPackageHierarchyNode();
    lumps->setName(QStringLiteral("lumps"));
    lumps->makeFolder();
    lumps->owner = this;
    if (!m_rootNode->addChild(lumps, -1)) {
        delete lumps;
        return false;
    }
    m_nodes.reserve(F::LumpCount + m_pakfileEntries.size());
    for (int i = 0; i < F::LumpCount; ++i) {
        QString name = bspLumpName(m_version, i);
        if (name == QLatin1String("Unused") || name == QLatin1String("Unknown"))
            name = QStringLiteral("LUMP_%1").arg(i);
        CPackageHierarchyNode *n = lumps->createPath({name + QStringLiteral(".lmp")}, true);
        if (!n)
            return false;
        n->owner = this;
        n->entryIndex = m_nodes.size();
        m_nodes.append(n);
    }
    addPakfileNodes();
    return true;
}

QStringList CDelegateBSP::pakfilePathParts(const QByteArray &name)
{
    // The name trimmed as a path, then split at every run of "\\", "|" and
    // "/" with empty parts dropped; a pakfile lists thousands of names, so no
    // regular expression.
    QString text = QString::fromLatin1(name);
    trimPath(text);
    QStringList parts;
    const QChar *data = text.constData();
    const int n = text.size();
    int start = 0;
    for (int i = 0; i <= n; ++i) {
        if (i == n || data[i] == QLatin1Char('/') || data[i] == QLatin1Char('\\') ||
            data[i] == QLatin1Char('|')) {
            if (i > start)
                parts.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool CDelegateBSP::isFolderRecord(const QByteArray &name)
{
    return name.endsWith('/') || name.endsWith('\\');
}

QByteArray CDelegateBSP::pakfileSaveName(const QString &path, const CPakfileEntry &entry)
{
    const QByteArray shown = path.toLatin1();
    if (shown == entry.local.fileName)
        return shown;
    const bool asOpened =
        entry.treePath.isEmpty()
            ? path == pakfilePathParts(entry.local.fileName).join(QLatin1Char('/'))
            : path == entry.treePath;
    return asOpened ? entry.local.fileName : shown;
}

CDelegateBSP::RecordPlace CDelegateBSP::setAsidePlace(const CPakfileEntry &record,
                                                      const CPackageHierarchyNode *&anchor) const
{
    anchor = nullptr;
    // Records that no open gives a node can lie anywhere.
    const QStringList parts = pakfilePathParts(record.local.fileName);
    if (record.headersDisagree || parts.isEmpty() || parts.size() > MaxTreeDepth || !m_rootNode)
        return RecordPlace::Anywhere;
    const bool folderRecord = isFolderRecord(record.local.fileName);
    const CPackageHierarchyNode *node = m_rootNode;
    for (int i = 0; i < parts.size(); ++i) {
        node = node->childByName(parts[i]);
        if (!node)
            return RecordPlace::Anywhere;
        if (node->isLeaf()) {
            anchor = node;
            const bool samePath = i == parts.size() - 1 && !folderRecord;
            return samePath ? RecordPlace::BeforeNode : RecordPlace::AfterNode;
        }
    }
    if (folderRecord)
        return RecordPlace::Anywhere;
    anchor = node;
    return RecordPlace::AfterNode;
}

void CDelegateBSP::addPakfileNodes()
{
    // Files of one folder usually follow one another: the folder found for
    // the last file serves the next one with the same folder components.
    QStringList lastFolder;
    CPackageHierarchyNode *lastFolderNode = nullptr;
    const auto sameFolder = [&](const QStringList &parts) {
        if (!lastFolderNode || parts.size() != lastFolder.size() + 1)
            return false;
        for (int i = 0; i < lastFolder.size(); ++i) {
            if (parts[i] != lastFolder[i])
                return false;
        }
        return true;
    };
    // Folders renamed for a later record leave the paths the tree gave
    // earlier records out of date.
    bool foldersRenamed = false;
    for (int record = 0; record < m_pakfileEntries.size(); ++record) {
        CPakfileEntry *e = m_pakfileEntries[record];
        // Every record keeps its slot (index 64 + record position), even one
        // that gets no node, so that indexes and records stay in step. A
        // record without a node is set aside: flushes copy it as it is.
        e->setAside = true;
        m_nodes.append(nullptr);
        const bool directoryRecord = isFolderRecord(e->local.fileName);
        const QStringList parts = pakfilePathParts(e->local.fileName);
        const auto text = [&parts] { return parts.join(QLatin1Char('/')); };
        if (parts.isEmpty())
            continue;
        if (e->headersDisagree) {
            addWarning(E::Bsp::headersDisagree(text().left(MaxWarnedNameLength)));
            continue;
        }
        if (parts.size() > MaxTreeDepth) {
            addWarning(E::Bsp::nestedTooDeeply(text().left(MaxWarnedNameLength)));
            continue;
        }
        if (directoryRecord) {
            // Archivers store folders as empty records ending in "/"; shown as
            // the folder itself, they must not turn into a file that blocks
            // the folder's contents.
            if (!m_rootNode->createPath(parts, false))
                addWarning(E::folderClash("Pakfile", text()));
            continue;
        }
        CPackageHierarchyNode *n = sameFolder(parts)
                                       ? lastFolderNode->createChild(parts.last(), true)
                                       : m_rootNode->createPath(parts, true);
        if (!n) {
            // "a" beside "a/b.txt": one of them cannot be shown.
            addWarning(E::folderClash("Pakfile", text()));
            continue;
        }
        if (!sameFolder(parts)) {
            lastFolder = parts.mid(0, parts.size() - 1);
            lastFolderNode = n->parent();
        }
        if (n->entryIndex >= 0 && n->entryIndex < F::LumpCount) {
            addWarning(E::Bsp::hiddenPakfileFile(text(), n->path(true)));
            continue;
        }
        if (n->entryIndex >= 0) {
            // Same path ignoring case: the later record wins the node, and
            // its row shows the later record's name, folders included (the
            // lumps folder keeps its name, as a rename would).
            CPakfileEntry *earlier = m_pakfileEntries.value(n->entryIndex - F::LumpCount);
            addWarning(E::Bsp::hiddenPakfileFile(
                earlier ? QString::fromLatin1(earlier->local.fileName) : n->path(true), text()));
            if (earlier)
                earlier->setAside = true;
            m_nodes[n->entryIndex] = nullptr;
            n->setName(parts.last());
            CPackageHierarchyNode *folder = n->parent();
            for (int i = parts.size() - 2; i >= 0 && folder != m_rootNode->first();
                 --i, folder = folder->parent()) {
                if (folder->name() != parts[i])
                    foldersRenamed = folder->setName(parts[i]) || foldersRenamed;
            }
        }
        e->setAside = false;
        if (!hasPath(n, parts))
            e->treePath = n->path(true);
        n->owner = this;
        n->entryIndex = m_nodes.size() - 1;
        m_nodes.last() = n;
    }
    if (!foldersRenamed)
        return;
    for (int record = 0; record < m_pakfileEntries.size(); ++record) {
        CPakfileEntry *e = m_pakfileEntries[record];
        const CPackageHierarchyNode *n = m_nodes[F::LumpCount + record];
        if (n)
            e->treePath =
                hasPath(n, pakfilePathParts(e->local.fileName)) ? QString() : n->path(true);
    }
}

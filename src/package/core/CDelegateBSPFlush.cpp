// Writing a map back: the rewrite into a temporary file, the swap that puts
// it in the map's place, and taking over the new file's records.
#include "CBspRewrite.h"
#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "DurableFile.h"
#include "FlushSyncronizer.h"
#include "PackageErrors.h"

#include <QFileInfo>

#include <QSet>

namespace E = PackageErrors;
namespace F = BspFormat;

bool CDelegateBSP::flushFault(FlushStep, int) const
{
    return false;
}

bool CDelegateBSP::flush(FlushSyncronizer *syncronizer)
{
    CBspRewrite rewrite(*this, syncronizer);
    QString message;
    bool done = rewrite.run();
    if (!done)
        message = rewrite.message();
    else
        done = swapFlushedFile(rewrite, message);
    if (!done) {
        m_lastError = message;
        if (syncronizer)
            syncronizer->addMessage(message, true);
        rewrite.discard();
        if (syncronizer)
            syncronizer->fail();
        return false;
    }
    adoptRewrite(rewrite, syncronizer);
    if (isReadOnly()) {
        addWarning(QString::fromLatin1(E::Bsp::ReopenedReadOnly));
        if (syncronizer)
            syncronizer->addMessage(QString::fromLatin1(E::Bsp::ReopenedReadOnly), false);
    }
    if (syncronizer)
        syncronizer->finish();
    return true;
}

bool CDelegateBSP::swapFlushedFile(CBspRewrite &rewrite, QString &message)
{
    // The map's name holds a whole map at every moment: the new file is on
    // the disk already (the rewrite synced it), the backup is a second name
    // of the old map rather than the map moved away, and the new map takes
    // the name in one rename. A map opened through a link is saved where the
    // link points, and the link stays.
    const QString mapName = rewrite.targetName();
    const QString backupName = mapName + QStringLiteral(".backup");
    QString reason;
    if (QFileInfo::exists(backupName) || QFileInfo(backupName).isSymLink())
        QFile::remove(backupName);
    if (flushFault(FlushStep::Backup, 0))
        reason = QStringLiteral("Unknown error");
    else
        DurableFile::linkOrCopy(mapName, backupName, &reason);
    if (!reason.isEmpty()) {
        message = E::Bsp::backupFailed(backupName, reason);
        return false;
    }

    // The new map is the user's file as the old one was.
    QFile::setPermissions(rewrite.temporaryName(), QFileInfo(mapName).permissions());
    const QIODevice::OpenMode oldMode = m_file.openMode();
    m_file.close();
    if (flushFault(FlushStep::Replace, 0) ||
        !DurableFile::replace(rewrite.temporaryName(), mapName)) {
        // Nothing has moved: the old map simply opens again.
        const bool reopened = m_file.open(oldMode | QIODevice::ExistingOnly);
        message = QString::fromLatin1(reopened ? E::Bsp::SwapUndone : E::Bsp::SwapFailed);
        return false;
    }
    rewrite.keepTemporary();
    DurableFile::syncFolderOf(mapName);
    if (!flushFault(FlushStep::Reopen, 0) &&
        m_file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return true;
    // The map is written; a delegate that can still read it beats one that
    // is closed.
    if (!flushFault(FlushStep::Reopen, 1) &&
        m_file.open(QIODevice::ReadOnly | QIODevice::ExistingOnly))
        return true;
    message = QString::fromLatin1(E::Bsp::SwapFailed);
    return false;
}

void CDelegateBSP::adoptRewrite(const CBspRewrite &rewrite, FlushSyncronizer *syncronizer)
{
    for (int i = 0; i < F::LumpCount; ++i) {
        m_lumps[i].offset = rewrite.lump(i).offset;
        m_lumps[i].length = rewrite.lump(i).length;
    }
    // Its outcome does not change the flush's: the map is written.
    readGameLumps();
    if (rewrite.pakfileWrittenWhole()) {
        // The new archive is the stored pakfile now; staged again, it would
        // overwrite every later edit of its files.
        m_nodes[F::PakfileLump]->revert();
        reloadPakfile(syncronizer);
        return;
    }

    const QVector<CBspRewriteEntry> &written = rewrite.entries();
    while (m_pakfileEntries.size() > written.size())
        delete m_pakfileEntries.takeLast();
    for (int m = 0; m < written.size(); ++m) {
        if (m == m_pakfileEntries.size())
            m_pakfileEntries.append(new CPakfileEntry());
        CPakfileEntry *e = m_pakfileEntries[m];
        e->central = written[m].record;
        e->local = written[m].keepLocal ? written[m].local : written[m].record;
        e->dataOffset = written[m].dataOffset;
        e->setAside = !written[m].node;
        e->headersDisagree = written[m].keepLocal;
        e->treePath = written[m].treePath;
    }

    // Pakfile nodes are renumbered in archive order; what was not written
    // (deleted files) leaves the tree. Set-aside records keep their empty
    // slots. Lump nodes keep their pending data.
    QSet<CPackageHierarchyNode *> kept;
    for (const CBspRewriteEntry &e : written)
        kept.insert(e.node);
    QSet<CPackageHierarchyNode *> doomed;
    for (int i = F::LumpCount; i < m_nodes.size(); ++i) {
        if (m_nodes[i] && !kept.contains(m_nodes[i]))
            doomed.insert(m_nodes[i]);
    }
    m_nodes.resize(F::LumpCount);
    for (const CBspRewriteEntry &e : written) {
        m_nodes.append(e.node);
        if (!e.node)
            continue;
        e.node->entryIndex = m_nodes.size() - 1;
        // The entry's stored data now is what was pending.
        e.node->revert();
    }
    qDeleteAll(doomed);

    const quint16 count = quint16(written.size());
    m_zipEntriesOnDisk = count;
    m_zipTotalEntries = count;
    m_zipDirectorySize = rewrite.directorySize();
    m_zipDirectoryOffset = rewrite.directoryOffset();
    m_zipCommentLength = quint16(m_zipComment.size());
}

void CDelegateBSP::reloadPakfile(FlushSyncronizer *syncronizer)
{
    QSet<CPackageHierarchyNode *> old;
    for (int i = F::LumpCount; i < m_nodes.size(); ++i) {
        if (m_nodes[i])
            old.insert(m_nodes[i]);
    }
    m_nodes.resize(F::LumpCount);
    qDeleteAll(old);
    // Folders the old files leave empty go too: the tree shows the new
    // archive as a fresh open would.
    CPackageHierarchyNode *lumps = m_rootNode->first();
    for (int i = m_rootNode->childCount() - 1; i >= 0; --i) {
        CPackageHierarchyNode *top = m_rootNode->child(unsigned(i));
        if (top != lumps && top->isFolder() && top->fileCount() == 0)
            delete top;
    }
    clearPakfileRecords();
    clearWarnings();
    if (m_lumps[F::PakfileLump].length != 0 && !readPakfile()) {
        // The map is written; only its new pakfile cannot be listed.
        clearPakfileRecords();
        addWarning(m_lastError);
    }
    addPakfileNodes();
    // What an open of the new map would warn about, said once, by the flush.
    if (syncronizer) {
        for (const QString &warning : qAsConst(m_warnings))
            syncronizer->addMessage(warning, false);
    }
}

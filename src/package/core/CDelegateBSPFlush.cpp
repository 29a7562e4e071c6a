// Writing a map back: the rewrite into a temporary file, the swap that puts
// it in the map's place, and taking over the new file's records.
#include "CBspRewrite.h"
#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "FlushSyncronizer.h"
#include "PackageErrors.h"

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
    if (syncronizer)
        syncronizer->finish();
    return true;
}

bool CDelegateBSP::swapFlushedFile(CBspRewrite &rewrite, QString &message)
{
    const QString mapName = fileName();
    const QString backupName = mapName + QStringLiteral(".backup");
    const QIODevice::OpenMode oldMode = m_file.openMode();
    m_file.close();
    // A backup that cannot go makes the first move fail, which is handled.
    if (QFile::exists(backupName))
        QFile::remove(backupName);
    if (flushFault(FlushStep::BackupMove, 0) || !QFile::rename(mapName, backupName)) {
        // Nothing has moved: the old map simply opens again.
        message =
            QString::fromLatin1(m_file.open(oldMode) ? E::Bsp::SwapUndone : E::Bsp::SwapFailed);
        return false;
    }
    if (flushFault(FlushStep::FinalMove, 0) || !QFile::rename(rewrite.temporaryName(), mapName)) {
        // The old map must not stay under the backup name alone.
        if (QFile::rename(backupName, mapName) && m_file.open(oldMode)) {
            message = QString::fromLatin1(E::Bsp::SwapUndone);
        } else {
            // Neither file is thrown away: the new map stays as the
            // temporary file, the old one as the backup.
            rewrite.keepTemporary();
            message = QString::fromLatin1(E::Bsp::SwapFailed);
        }
        return false;
    }
    rewrite.keepTemporary();
    if (flushFault(FlushStep::Reopen, 0) || !m_file.open(QIODevice::ReadWrite)) {
        message = QString::fromLatin1(E::Bsp::SwapFailed);
        return false;
    }
    return true;
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
        e->local = written[m].record;
        e->dataOffset = written[m].dataOffset;
    }

    // Pakfile nodes are renumbered in archive order; what was not written
    // (deleted files) leaves the tree. Lump nodes keep their pending data.
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
        e.node->entryIndex = m_nodes.size();
        m_nodes.append(e.node);
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
    if (m_lumps[F::PakfileLump].length != 0 && !readPakfile()) {
        // The map is written; only its new pakfile cannot be listed.
        clearPakfileRecords();
        m_warnings.append(m_lastError);
        if (syncronizer)
            syncronizer->addMessage(m_lastError, false);
    }
    addPakfileNodes();
}

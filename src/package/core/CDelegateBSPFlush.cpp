// Writing a map back: the rewrite into a temporary file, the swap that puts
// it in the map's place, and taking over the new file's records.
#include "CBspRewrite.h"
#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "CSaveFile.h"
#include "DurableFile.h"
#include "FlushSyncronizer.h"
#include "PackageErrors.h"
#include "SaveLock.h"
#include "SiblingName.h"

#include <QSet>

namespace E = PackageErrors;
namespace F = BspFormat;

bool CDelegateBSP::flushFault(FlushStep, int) const
{
    return false;
}

namespace {

// Why a save of the map open as `file` under the name `target` must not
// start; empty where it may.
QString refusal(const SaveLock &lock, const QFileDevice &file, const QString &target)
{
    if (lock.state() == SaveLock::Busy)
        return QString::fromLatin1(E::Bsp::SaveInProgress);
    const DurableFile::FileId opened = DurableFile::idOf(file);
    if (!opened.isValid())
        return QString();
    // A map another save replaced since this one read it would lose that
    // save's edits if written from what was read.
    const DurableFile::FileId present = DurableFile::idAt(target, true);
    if (present.isValid())
        return present == opened ? QString() : QString::fromLatin1(E::Bsp::MapReplaced);
    // A map deleted while open is saved anew where it was (its open file
    // holds all there is of it), but never into a folder that is gone or
    // moved: where the map went is not for the save to guess.
    const QString reason = DurableFile::folderFailure(target);
    return reason.isEmpty() ? QString() : E::withReason(QString::fromLatin1(E::FileOpen), reason);
}

} // namespace

bool CDelegateBSP::flush(FlushSyncronizer *syncronizer)
{
    // Held until the delegate has taken the new map: a second save of the
    // map meanwhile, by this program or another, is refused.
    const QString target = CSaveFile::savedPath(fileName());
    SaveLock lock(target, &m_file);
    CBspRewrite rewrite(*this, syncronizer, lock);
    QString message = refusal(lock, m_file, target);
    bool done = false;
    if (message.isEmpty()) {
        if (!(done = rewrite.run()))
            message = rewrite.message();
        else
            done = swapFlushedFile(rewrite, message);
    }
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

bool CDelegateBSP::makeBackup(const QString &mapName, QString &message) const
{
    // Made under a new name of its own, then renamed onto the backup's: the
    // backup's name holds a whole backup at every moment, and one that an
    // earlier save left (which the user may not remove in a shared folder)
    // is replaced rather than in the way.
    const QString backupName = SiblingName::backup(mapName);
    // Another user's backup in a shared folder is that user's alone to
    // replace: this user's own stands beside it.
    const QString own = SiblingName::of(mapName, QLatin1Char('.') + DurableFile::userTag() +
                                                     QStringLiteral(".backup"));
    QString reason = QStringLiteral("Unknown error");
    const QString made = flushFault(FlushStep::Backup, 0)
                             ? QString()
                             : DurableFile::linkOrCopyBeside(mapName, mapName, &reason);
    const DurableFile::FileId madeId = DurableFile::idAt(made);
    const bool named =
        madeId.isValid() && !flushFault(FlushStep::Backup, 1) &&
        (DurableFile::replace(made, backupName, &reason) ||
         (DurableFile::isOthersFile(backupName) && DurableFile::replace(made, own, &reason)));
    // Still there after a rename too: rename(2) between two names of one
    // file (a backup that a failed swap left as a second name of the map)
    // does nothing.
    if (madeId.isValid() && DurableFile::idAt(made) == madeId)
        QFile::remove(made);
    if (!named)
        message = E::Bsp::backupFailed(backupName, reason);
    return named;
}

bool CDelegateBSP::swapFlushedFile(CBspRewrite &rewrite, QString &message)
{
    // The map's name holds a whole map at every moment: the new file is on
    // the disk already (the rewrite synced it), the backup is a second name
    // of the old map rather than the map moved away, and the new map takes
    // the name in one rename. A map opened through a link is saved where the
    // link points, and the link stays. A map deleted while open has no old
    // file under its name to keep: the new one takes the name only while
    // nothing has it.
    const QString mapName = rewrite.targetName();
    const DurableFile::FileId present = DurableFile::idAt(mapName, true);
    const bool anew = !present.isValid();
    if (!anew && present != DurableFile::idOf(m_file)) {
        message = QString::fromLatin1(E::Bsp::MapReplaced);
        return false;
    }
    if (!anew && !makeBackup(mapName, message))
        return false;
    // Only the file this save wrote takes the map's name (held open by the
    // save's lock, its identity cannot pass to another file meanwhile).
    if (DurableFile::idAt(rewrite.temporaryName()) != rewrite.temporaryId()) {
        message = QString::fromLatin1(E::Bsp::TemporaryReplaced);
        return false;
    }

    const QIODevice::OpenMode oldMode = m_file.openMode();
    // A deleted map is nowhere but in its open file until the new one has
    // its name.
    if (!anew)
        m_file.close();
    QString reason = QStringLiteral("Unknown error");
    const bool placed = !flushFault(FlushStep::Replace, 0) &&
                        (anew ? DurableFile::placeNew(rewrite.temporaryName(), mapName, &reason)
                              : DurableFile::replace(rewrite.temporaryName(), mapName, &reason));
    if (!placed) {
        // Nothing has moved: the old map simply opens again, or is still
        // open. A file that took a deleted map's name meanwhile is another's.
        if (anew && DurableFile::idAt(mapName).isValid())
            message = QString::fromLatin1(E::Bsp::MapReplaced);
        else
            message =
                E::Bsp::swapFailed(reason, anew || m_file.open(oldMode | QIODevice::ExistingOnly));
        return false;
    }
    m_file.close();
    rewrite.keepTemporary();
    DurableFile::syncFolderOf(mapName);
    if (!flushFault(FlushStep::Reopen, 0) &&
        m_file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return true;
    // The map is written; a delegate that can still read it beats one that
    // is closed.
    const bool tried = !flushFault(FlushStep::Reopen, 1);
    if (tried && m_file.open(QIODevice::ReadOnly | QIODevice::ExistingOnly))
        return true;
    message = E::Bsp::swapFailed(tried ? m_file.errorString() : QString(), false);
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

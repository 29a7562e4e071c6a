// The commands that write files: the map ("Save" of "BSP Options"), selected
// entries ("Save" of "File Options") and the pakfile as a ".zip"
// ("Extract"), and the status report whose comment the next map save writes.
#include "VPakfile.h"

#include "BspRecords.h"
#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "CPakfileExport.h"
#include "CPrompt.h"
#include "CSaveFile.h"
#include "FlushSyncronizer.h"
#include "MainWindowDialogs.h"
#include "PakfileErrors.h"
#include "PakfileStatistics.h"
#include "QProgressDialogger.h"
#include "ScanPath.h"
#include "VPakfileBusyDialog.h"
#include "VPakfileStatusDialog.h"
#include "VPakfileTableWidgetItem.h"
#include "VPakfileTexts.h"
#include "functions.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QTableWidget>

namespace E = PakfileError;
namespace T = VPakfileTexts;

namespace {

QString text(const char *latin1)
{
    return QString::fromLatin1(latin1);
}

// One run of "Save" of "File Options": where the entries go and the answers
// that hold for the rest of the run.
class EntrySaveRun
{
public:
    EntrySaveRun(CDelegateBSP *map, QMessageBox &box, QProgressDialogger &progress,
                 const QString &folder, bool preserve)
        : m_map(map)
        , m_box(box)
        , m_progress(progress)
        , m_folder(folder)
        , m_preserve(preserve)
    {}

    // False when the entry was skipped, which takes no progress step.
    bool save(CPackageHierarchyNode *node);

private:
    int ask(const QString &question, const char *detail);
    // True for the entry's current bytes, false for its stored ones.
    bool chooseCurrent(const QString &entryPath);
    bool allowOverwrite(const QString &target);
    void logError(const QString &message) { m_progress.log(message, true); }

    CDelegateBSP *m_map;
    QMessageBox &m_box;
    QProgressDialogger &m_progress;
    QString m_folder;
    bool m_preserve;
    bool m_modifiedYesToAll = false;
    bool m_modifiedNoToAll = false;
    bool m_overwriteYesToAll = false;
    bool m_overwriteNoToAll = false;
};

int EntrySaveRun::ask(const QString &question, const char *detail)
{
    m_box.setText(question);
    m_box.setInformativeText(text(detail));
    return CPrompt::exec(&m_box);
}

bool EntrySaveRun::chooseCurrent(const QString &entryPath)
{
    if (m_modifiedYesToAll || m_modifiedNoToAll)
        return m_modifiedYesToAll;
    switch (ask(text(T::FileModified).arg(entryPath), T::SaveModified)) {
    case QMessageBox::Yes:
        return true;
    case QMessageBox::YesToAll:
        m_modifiedYesToAll = true;
        return true;
    case QMessageBox::No:
        return false;
    default:
        m_modifiedNoToAll = true;
        return false;
    }
}

bool EntrySaveRun::allowOverwrite(const QString &target)
{
    if (!QFileInfo::exists(target) || m_overwriteYesToAll)
        return true;
    if (m_overwriteNoToAll)
        return false;
    const int answer = ask(text(T::FileExists).arg(target), T::Overwrite);
    if (answer == QMessageBox::NoToAll)
        m_overwriteNoToAll = true;
    if (answer == QMessageBox::YesToAll)
        m_overwriteYesToAll = true;
    // A dismissed box counts as No.
    return answer == QMessageBox::Yes || answer == QMessageBox::YesToAll;
}

bool EntrySaveRun::save(CPackageHierarchyNode *node)
{
    const QString entryPath = node->path(true);
    // Names come from the map: none may lead out of the chosen folder.
    if (!ScanPath::isFollowable(m_preserve ? entryPath : node->name())) {
        logError(text(E::UnsafeEntryPath).arg(entryPath));
        return true;
    }
    QString relative;
    if (m_preserve && !node->path(false).isEmpty()) {
        relative = node->path(false) + QLatin1Char('/');
        if (!makePath(m_folder + relative)) {
            logError(text(E::UnableToCreatePath).arg(m_folder + relative));
            return true;
        }
    }
    const QString target = m_folder + relative + node->name();
    const bool stored = node->hasFile();
    const bool current = !(stored && node->modified) || chooseCurrent(entryPath);
    if (!allowOverwrite(target))
        return false;
    if (!stored && !node->modified) {
        logError(text(E::NodeHasNoData).arg(entryPath));
        return true;
    }
    CSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        logError(out.failure(text(E::UnableToOpenQuoted).arg(target)));
        return true;
    }
    const bool written = current ? m_map->writeCurrent(&out, node) : m_map->writeStored(&out, node);
    if (!written) {
        logError(out.failure(m_map->lastError()));
        out.cancelWriting();
    } else if (!out.commit()) {
        logError(out.folderOr(text(E::UnableToFinish).arg(target, out.errorString())));
    }
    return true;
}

} // namespace

void VPakfile::setUpRunQuestion(QMessageBox &box)
{
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(windowTitle());
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No |
                           QMessageBox::NoToAll);
    box.setDefaultButton(QMessageBox::NoToAll);
}

void VPakfile::fileSave()
{
    if (!m_delegate)
        return;
    FlushSyncronizer syncronizer;
    syncronizer.reset();
    QProgressDialogger progress(text(T::Processing), 0, 0, QString(), this);
    using Ended = void (FlushSyncronizer::*)(bool);
    for (Ended ended :
         {Ended(&FlushSyncronizer::flushCanceled), Ended(&FlushSyncronizer::flushFailed),
          Ended(&FlushSyncronizer::flushFinished)})
        connect(&syncronizer, ended, &progress, &QProgressDialogger::setButtonOkEnabled);
    connect(&syncronizer, &FlushSyncronizer::itemsProcessedChanged, &progress,
            &QProgressDialogger::setValue);
    connect(&syncronizer, &FlushSyncronizer::totalChanged, &progress,
            &QProgressDialogger::setMaximum);
    showProgress(progress);

    if (m_delegate->flush(&syncronizer)) {
        // Deleted entries are gone and the rest renumbered in pakfile order.
        m_commentChanged = false;
        fillPakfileTable();
        tableSelectionChanged();
    } else {
        for (const FlushMessage &message : syncronizer.messages())
            progress.log(message.text, message.isError);
        progress.showLog();
        CPrompt::exec(&progress);
        // The finished map could not take the old one's place.
        if (!m_delegate->isOpen())
            clear();
    }
    setEnabled(true);
}

void VPakfile::pakFileSave()
{
    const QModelIndexList selected = m_pakfileTable->selectionModel()->selectedIndexes();
    if (!m_delegate || selected.isEmpty())
        return;
    QString folder = MainWindowDialogs::existingDirectory(nullptr, text(T::SaveFilesCaption));
    if (folder.isEmpty())
        return;
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    const bool preserve =
        CPrompt::question(this, windowTitle(), text(T::PreserveStructure),
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;

    QMessageBox box(this);
    setUpRunQuestion(box);
    QProgressDialogger progress(text(T::Processing), 0, selected.size(), QString(), this);
    progress.autoClose = true;
    showProgress(progress);
    EntrySaveRun run(m_delegate, box, progress, folder, preserve);
    for (int p = 1; p <= selected.size(); ++p) {
        // Each row once, through its Name item.
        const QModelIndex &index = selected[p - 1];
        const VPakfileTableWidgetItem *item = index.column() == 0 ? nameItem(index.row()) : nullptr;
        if (!item || !item->node || run.save(item->node))
            progress.setValue(p);
    }
    if (progress.hasError)
        CPrompt::exec(&progress);
    setEnabled(true);
}

void VPakfile::pakExtract()
{
    if (!m_delegate)
        return;
    const QString target =
        MainWindowDialogs::saveFileName(nullptr, text(T::ZipCaption), text(T::ZipFilter));
    if (target.isEmpty())
        return;
    QString error;
    CPakfileExport::Result result;
    {
        VPakfileBusyDialog busy(this);
        const QByteArray comment =
            CPakfileExport::comment(m_delegate->baseName(), m_delegate->pakfileComment());
        result = CPakfileExport::write(*m_delegate, target, comment, &error);
    }
    if (result == CPakfileExport::Result::CopyFailed)
        CPrompt::warning(this, windowTitle(), error);
    else if (result == CPakfileExport::Result::CommentTooLong)
        CPrompt::warning(this, windowTitle(), text(E::ExportCommentTooLong));
    else if (result == CPakfileExport::Result::NoEndRecord)
        CPrompt::warning(this, windowTitle(), text(E::ExportNoEndRecord));
}

void VPakfile::pakInfo()
{
    if (!m_delegate)
        return;
    VPakfileStatus status;
    status.lumpVersion = m_delegate->lumpInfo(BspFormat::PakfileLump, 3);
    status.lumpOffset = m_delegate->lumpInfo(BspFormat::PakfileLump, 1);
    status.lumpLength = m_delegate->lumpInfo(BspFormat::PakfileLump, 2);
    status.comment = m_delegate->pakfileComment();
    QStringList types;
    for (int row = 0; row < m_pakfileTable->rowCount(); ++row) {
        const VPakfileTableWidgetItem *item = nameItem(row);
        // Entries added but not saved are not in the pakfile yet.
        if (item && item->node && item->node->hasFile())
            types << m_pakfileTable->item(row, 3)->text();
    }
    status.counts = PakfileStatistics::count(types);
    status.total = m_delegate->pakfileEntries().size();

    VPakfileStatusDialog dialog(status, this);
    while (CPrompt::exec(&dialog) == QDialog::Accepted && dialog.commentEdited()) {
        const QByteArray comment = dialog.comment();
        if (comment == m_delegate->pakfileComment())
            break;
        if (m_delegate->setPakfileComment(comment)) {
            m_commentChanged = true;
            break;
        }
        // Too long for the end record: the user may shorten it.
        CPrompt::warning(this, windowTitle(), m_delegate->lastError());
    }
}

// The commands that stage changes on pakfile entries: "Un/Delete", "Revert"
// and "Add".
#include "VPakfile.h"

#include "BspRecords.h"
#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "CPrompt.h"
#include "MainWindowDialogs.h"
#include "PackageEntryName.h"
#include "PackageErrors.h"
#include "PakfileAddPaths.h"
#include "PakfileErrors.h"
#include "QListDialog.h"
#include "QProgressDialogger.h"
#include "VPakfileBusyDialog.h"
#include "VPakfileTableWidgetItem.h"
#include "VPakfileTexts.h"

#include <QFile>
#include <QMessageBox>
#include <QTableWidget>

namespace T = VPakfileTexts;

void VPakfile::pakFileDeleteToggle()
{
    if (!m_delegate)
        return;
    VPakfileBusyDialog busy(this);
    const QList<int> rows = selectedRows();
    // From the last row up: removing a row never moves one still to visit.
    for (auto at = rows.crbegin(); at != rows.crend(); ++at) {
        const int row = *at;
        VPakfileTableWidgetItem *item = nameItem(row);
        if (!item || !item->node)
            continue;
        CPackageHierarchyNode *node = item->node;
        if (node->deleted) {
            m_delegate->undelete(node);
            item->updateColor(row);
        } else if (node->hasFile()) {
            m_delegate->remove(node);
            item->updateColor(row);
        } else {
            // Only in memory: the delegate deletes the node, so its row goes
            // first.
            item->node = nullptr;
            m_pakfileTable->removeRow(row);
            m_delegate->remove(node);
        }
    }
    tableSelectionChanged();
}

void VPakfile::pakFileRevert()
{
    if (!m_delegate)
        return;
    VPakfileBusyDialog busy(this);
    for (int row : selectedRows()) {
        const VPakfileTableWidgetItem *item = nameItem(row);
        CPackageHierarchyNode *node = item ? item->node : nullptr;
        // New entries have nothing to go back to; deletion marks stay.
        if (!node || !node->hasFile() || !node->modified)
            continue;
        if (m_delegate->revert(node))
            updatePakfileRow(node, row);
    }
}

bool VPakfile::runAddQuestions(const QStringList &files, QStringList &targets)
{
    const QStringList choices = PakfileAddPaths::choices(files);
    if (choices.size() <= 1) {
        for (const QString &file : files)
            targets << PakfileAddPaths::pathFromChoice(file, choices.size());
        return true;
    }
    QListDialog list(this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setWindowTitle(windowTitle());
    list.setItems(choices, -1);
    if (list.execute() && list.selectedRow() >= 0) {
        for (const QString &file : files)
            targets << PakfileAddPaths::pathFromChoice(file, list.selectedRow());
        return true;
    }
    bool ok = false;
    const QString folder =
        CPrompt::getText(this, windowTitle(), QString::fromLatin1(T::RelativePathLabel),
                         QLineEdit::Normal, PakfileAddPaths::localDirectory(files.first()), &ok);
    if (!ok)
        return false;
    for (const QString &file : files)
        targets << PakfileAddPaths::pathUnderFolder(file, folder);
    return true;
}

void VPakfile::pakAdd()
{
    if (!m_delegate)
        return;
    const QStringList files = MainWindowDialogs::openFileNames(
        nullptr, QString::fromLatin1(T::AddCaption), QString::fromLatin1(T::AddFilter));
    QStringList targets;
    if (files.isEmpty() || !runAddQuestions(files, targets))
        return;

    QProgressDialogger progress(QString::fromLatin1(T::Processing), 0, files.size(), QString(),
                                this);
    showProgress(progress);
    QMessageBox box(this);
    setUpRunQuestion(box);
    box.setInformativeText(QString::fromLatin1(T::Overwrite));
    bool replaceAll = false;
    bool skipAll = false;
    QHash<const CPackageHierarchyNode *, int> rows;
    QVector<CPackageHierarchyNode *> added;
    const auto logError = [&progress](const QString &message) { progress.log(message, true); };

    for (int i = 0; i < files.size(); ++i) {
        const QString &file = files[i];
        const QString &target = targets[i];
        // Shown from the pakfile's root, as the table shows folders.
        const QString shown = QLatin1Char('/') + target;
        const QByteArray reference = QFile::encodeName(file);
        QFile probe(file);
        CPackageHierarchyNode *node =
            m_delegate->root() ? m_delegate->root()->findNode(CDelegateBSP::splitPath(target))
                               : nullptr;
        // Refused before the tree is asked: a sloppy path must not find an
        // existing entry and replace it.
        if (!PackageEntryName::isValidPath(target)) {
            logError(PackageErrors::invalidName(target));
        } else if (!probe.open(QIODevice::ReadOnly)) {
            logError(QString::fromLatin1(PakfileError::UnableToOpenQuoted).arg(file));
        } else if (node && node->isFolder()) {
            logError(QString::fromLatin1(PakfileError::TargetNotLeaf));
        } else if (node && node->entryIndex >= 0 && node->entryIndex < BspFormat::LumpCount) {
            // The lumps share the tree with the pakfile; they are no entries.
            logError(QString::fromLatin1(PakfileError::PathNamesLump).arg(shown));
        } else if (node) {
            if (skipAll)
                continue;
            if (!replaceAll) {
                box.setText(QString::fromLatin1(T::DataExists).arg(shown));
                const int answer = CPrompt::exec(&box);
                if (answer == QMessageBox::NoToAll) {
                    skipAll = true;
                    continue;
                }
                if (answer == QMessageBox::YesToAll)
                    replaceAll = true;
                // A dismissed box counts as No.
                else if (answer != QMessageBox::Yes)
                    continue;
            }
            if (!m_delegate->setData(reference, true, node)) {
                logError(m_delegate->lastError());
            } else {
                if (rows.isEmpty())
                    rows = rowsByNode();
                updatePakfileRow(node, rows.value(node, -1));
            }
        } else if (CPackageHierarchyNode *created = m_delegate->addFile(reference, true, target)) {
            added.append(created);
        } else {
            logError(m_delegate->lastError());
        }
        progress.setValue(i + 1);
    }

    appendPakfileRows(added, progress);
    if (progress.hasError) {
        progress.showLog();
        CPrompt::exec(&progress);
    }
    setEnabled(true);
}

void VPakfile::appendPakfileRows(const QVector<CPackageHierarchyNode *> &nodes,
                                 QProgressDialogger &progress)
{
    if (nodes.isEmpty())
        return;
    progress.setValue(0);
    progress.setMaximum(nodes.size());
    const int first = m_pakfileTable->rowCount();
    m_pakfileTable->setRowCount(first + nodes.size());
    for (int k = 0; k < nodes.size(); ++k) {
        updatePakfileRow(nodes[k], first + k);
        progress.setValue(k + 1);
    }
}

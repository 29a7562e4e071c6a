// The scan page: entering it, the scan options, the content scan that fills
// the scan table, marking rows and applying the marked rows to the pakfile.
#include "VPakfile.h"

#include "BspRecords.h"
#include "CConfig.h"
#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "CPath.h"
#include "CPrompt.h"
#include "ContentScan.h"
#include "FileTypeName.h"
#include "PakfileErrors.h"
#include "QProgressDialogger.h"
#include "ScanConfiguration.h"
#include "ScanDirectory.h"
#include "VPakfileBusyDialog.h"
#include "VPakfileTexts.h"
#include "VScanTableWidgetItem.h"
#include "uifunctions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace E = PakfileError;
namespace T = VPakfileTexts;

namespace {

QString text(const char *latin1)
{
    return QString::fromLatin1(latin1);
}

// The scan's phases on the progress dialog: each starts as a busy bar and
// then counts its items.
class DialogProgress : public ContentScan::Progress
{
public:
    explicit DialogProgress(QProgressDialogger &dialog)
        : m_dialog(dialog)
    {}
    void phase(const QString &label, int maximum) override
    {
        m_dialog.setLabelText(label);
        m_dialog.setRange(0, 0);
        m_dialog.setMaximum(maximum);
    }
    void step(int value) override { m_dialog.setValue(value); }

private:
    QProgressDialogger &m_dialog;
};

} // namespace

void VPakfile::pakScan()
{
    for (QPushButton *button : {m_scanApply, m_scanAdd, m_scanAuto, m_scanRemove})
        button->setEnabled(false);
    setCurrentWidget(m_scanPage);
    if (m_scanDirectory->text().isEmpty())
        m_scanDirectory->setText(ScanDirectory::fromEnvironment());
}

void VPakfile::buildScanOptionsDialog()
{
    m_scanOptionsDialog = new QDialog(this);
    auto *boxes = new QVBoxLayout;
    boxes->setSpacing(1);
    for (int bit = 0; bit < ContentScan::OptionCount; ++bit) {
        auto *box = new QCheckBox(tr(T::ScanOptionLabels[bit]), m_scanOptionsDialog);
        box->setObjectName(QStringLiteral("scanOption%1").arg(bit));
        boxes->addWidget(box, 0, Qt::AlignLeft);
        m_scanOptionBoxes.append(box);
    }
    m_scanOptionButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                               Qt::Horizontal, m_scanOptionsDialog);
    connect(m_scanOptionButtons, &QDialogButtonBox::accepted, m_scanOptionsDialog,
            &QDialog::accept);
    connect(m_scanOptionButtons, &QDialogButtonBox::rejected, m_scanOptionsDialog,
            &QDialog::reject);
    auto *outer = new QVBoxLayout(m_scanOptionsDialog);
    outer->addLayout(boxes);
    outer->addWidget(m_scanOptionButtons, 0, Qt::AlignHCenter);
    m_scanOptionsDialog->setWindowTitle(text(T::ScanOptionsTitle));
    m_scanOptionsDialog->adjustSize();
    m_scanOptionsDialog->setFixedSize(m_scanOptionsDialog->sizeHint());
}

void VPakfile::pakScanOptions()
{
    if (!m_scanOptionsDialog)
        buildScanOptionsDialog();
    for (int bit = 0; bit < m_scanOptionBoxes.size(); ++bit)
        m_scanOptionBoxes[bit]->setChecked(m_scanOptionsMask & (1u << bit));
    centerWidget(m_scanOptionsDialog, this);
    if (CPrompt::exec(m_scanOptionsDialog) != QDialog::Accepted)
        return;
    quint16 mask = 0;
    for (int bit = 0; bit < m_scanOptionBoxes.size(); ++bit) {
        if (m_scanOptionBoxes[bit]->isChecked())
            mask |= quint16(1u << bit);
    }
    m_scanOptionsMask = mask;
}

void VPakfile::pakScanScan()
{
    if (!m_delegate)
        return;
    m_scanDirectory->setEnabled(false);
    m_scanBrowse->setEnabled(false);
    QProgressDialogger progress(text(T::PreProcessing), 0, 0, QString(), this);
    progress.autoClose = false;
    showProgress(progress);

    m_scanBaseDirectory = ScanDirectory::base(m_scanDirectory->text());
    DialogProgress phases(progress);
    const ContentScan::Result result =
        ContentScan::run(*m_delegate, m_scanOptionsMask, m_scanBaseDirectory,
                         scanConfiguration(*CConfig::instance()), &phases);
    phases.phase(text(T::BuildingTable), result.found.size());
    fillScanTable(result.found.paths(), progress);

    for (const QString &error : result.errors)
        progress.log(error, true);
    if (progress.hasError) {
        // The log stays up until it was read.
        progress.setLabelText(text(T::Finished));
        progress.setButtonOkEnabled(true);
        CPrompt::exec(&progress);
    }
    for (QPushButton *button : {m_scanApply, m_scanAdd, m_scanAuto, m_scanRemove})
        button->setEnabled(true);
    setEnabled(true);
}

void VPakfile::fillScanTable(const QStringList &paths, QProgressDialogger &progress)
{
    // Old items point at nodes: they go before the new ones are made.
    m_scanTable->setRowCount(0);
    m_scanTable->setRowCount(paths.size());
    for (int r = 0; r < paths.size(); ++r) {
        const ContentScan::Row row = ContentScan::row(*m_delegate, paths[r], m_scanBaseDirectory);
        m_scanTable->setRowHeight(r, 17);
        auto *name = new VScanTableWidgetItem(row.name, row.packed, &m_scanBaseDirectory);
        m_scanTable->setItem(r, 0, name);
        m_scanTable->setItem(r, 1, new QTableWidgetItem(QLatin1Char('/') + row.directory));
        auto *size = new QTableWidgetItem;
        size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (row.size < 0)
            size->setText(QStringLiteral("N/A"));
        else
            size->setData(Qt::DisplayRole, qlonglong(row.size));
        m_scanTable->setItem(r, 2, size);
        m_scanTable->setItem(r, 3,
                             new QTableWidgetItem(fileTypeName(CPath(row.name, true).extension())));
        for (int column = 0; column < m_scanTable->columnCount(); ++column)
            m_scanTable->item(r, column)->setForeground(QColor(0, 0, 0, 255));
        name->updateColor();
        progress.setValue(r + 1);
    }
}

void VPakfile::markScanItems(const QList<QTableWidgetItem *> &items, bool mark, bool skipStored)
{
    if (items.isEmpty()) {
        setEnabled(true);
        return;
    }
    VPakfileBusyDialog busy(this, text(mark ? T::ProcessingMarks : T::Processing), items.size());
    for (int i = 0; i < items.size(); ++i) {
        // Only the Name cell carries the mark; the other cells of a selected
        // row count as steps and do nothing.
        auto *item = dynamic_cast<VScanTableWidgetItem *>(items[i]);
        const bool stored = item && item->node && item->node->hasFile();
        if (item && item->marked != mark && !(skipStored && stored) &&
            (!mark || item->fileExists())) {
            item->marked = mark;
            item->updateColor();
        }
        busy.setValue(i + 1);
    }
}

void VPakfile::pakScanAdd()
{
    markScanItems(m_scanTable->selectedItems(), true, false);
}

void VPakfile::pakScanRemove()
{
    markScanItems(m_scanTable->selectedItems(), false, false);
}

void VPakfile::pakScanAddMissing()
{
    QList<QTableWidgetItem *> items;
    for (int row = 0; row < m_scanTable->rowCount(); ++row)
        items.append(m_scanTable->item(row, 0));
    markScanItems(items, true, true);
}

CPackageHierarchyNode *VPakfile::stageScanRow(int row, QProgressDialogger &progress)
{
    const QTableWidgetItem *name = m_scanTable->item(row, 0);
    const QTableWidgetItem *folder = m_scanTable->item(row, 1);
    const QString entry =
        ScanDirectory::entryPath(folder ? folder->text() : QString(), name->text());
    // Only a path inside the game folder and inside the archive is staged.
    if (entry.isNull() || m_scanBaseDirectory.isEmpty()) {
        progress.log(
            text(E::UnsafePath)
                .arg((folder ? folder->text() : QString()) + QLatin1Char('/') + name->text()),
            true);
        return nullptr;
    }
    const CPackageHierarchyNode *existing =
        m_delegate->root() ? m_delegate->root()->findNode(CDelegateBSP::splitPath(entry)) : nullptr;
    if (existing && existing->entryIndex >= 0 && existing->entryIndex < BspFormat::LumpCount) {
        progress.log(text(E::PathNamesLump).arg(entry), true);
        return nullptr;
    }
    // The entry references the file; its bytes are copied when the map is
    // saved.
    const QByteArray local = QFile::encodeName(m_scanBaseDirectory + entry);
    CPackageHierarchyNode *node = m_delegate->addFile(local, true, entry);
    if (!node)
        progress.log(m_delegate->lastError(), true);
    return node;
}

void VPakfile::pakScanApply()
{
    if (!m_delegate) {
        pakScanCancel();
        return;
    }
    const int rows = m_scanTable->rowCount();
    QProgressDialogger progress(text(T::LoadingData), 0, rows, QString(), this);
    progress.autoClose = true;
    showProgress(progress);

    const QHash<const CPackageHierarchyNode *, int> shown = rowsByNode();
    QVector<CPackageHierarchyNode *> modified;
    QVector<CPackageHierarchyNode *> added;
    // Two map-specific rows that differ only in case land on one entry.
    QSet<CPackageHierarchyNode *> staged;
    for (int row = 0; row < rows; ++row) {
        const auto *item = dynamic_cast<VScanTableWidgetItem *>(m_scanTable->item(row, 0));
        if (item && item->marked) {
            CPackageHierarchyNode *node = stageScanRow(row, progress);
            if (node && !staged.contains(node)) {
                staged.insert(node);
                (shown.contains(node) ? modified : added).append(node);
            }
        }
        progress.setValue(row + 1);
    }

    if (!modified.isEmpty()) {
        progress.setLabelText(text(T::UpdatingModified));
        progress.setValue(0);
        progress.setMaximum(modified.size());
        for (int j = 0; j < modified.size(); ++j) {
            // The size follows the new file, the colour the new state.
            updatePakfileRow(modified[j], shown.value(modified[j]));
            progress.setValue(j + 1);
        }
    }
    if (!added.isEmpty())
        progress.setLabelText(text(T::AddingNew));
    appendPakfileRows(added, progress);
    if (progress.hasError) {
        // Without this the log would close with the slot, unread.
        progress.showLog();
        CPrompt::exec(&progress);
    }
    pakScanCancel();
    // New and longer rows: the columns fit them as after a save.
    fitPakfileColumns();
}

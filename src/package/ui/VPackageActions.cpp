// The package viewer's commands on entries: search, properties, extraction
// and opening an entry elsewhere.
#include "VPackage.h"

#include "CDesktopFile.h"
#include "CFileVTF.h"
#include "CPackageExtraction.h"
#include "CPackageHierarchyNode.h"
#include "CPackageProperties.h"
#include "CPackageSearch.h"
#include "CPrompt.h"
#include "CSaveFile.h"
#include "CSessionDirectory.h"
#include "IMainWindow.h"
#include "IPackageDelegate.h"
#include "MainWindowDialogs.h"
#include "MainWindowTools.h"
#include "QProgressDialogger.h"
#include "QSearchDialog.h"
#include "VPackagePropertiesDialog.h"
#include "VPackageTableModel.h"
#include "VPackageTableWidget.h"
#include "VPackageTreeModel.h"
#include "uifunctions.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTreeView>

#include <memory>

namespace {

const QString PackageFilter =
    QStringLiteral("All Supported Packages (*.bsp *.gcf *.ncf *.vpk);;"
                   "Valve Binary Space Partition (*.bsp);;Game Cache File (*.gcf);;"
                   "No Cache File (*.ncf);;Valve Package File (*.vpk)");

// Writes an entry's current bytes to a new file; an existing file at the
// target is replaced only once every byte has arrived.
bool writeEntry(IPackageDelegate &delegate, CPackageHierarchyNode *node, const QString &target,
                QString &error)
{
    CSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.failure(QString::fromLatin1(CPackageExtraction::NotOpened).arg(target));
        return false;
    }
    if (!delegate.writeCurrent(&file, node)) {
        file.cancelWriting();
        error = QString::fromLatin1(CPackageExtraction::NoData).arg(node->path(true)) +
                delegate.lastError();
        return false;
    }
    if (!file.commit()) {
        error = file.failure(QString::fromLatin1(CPackageExtraction::NotOpened).arg(target));
        return false;
    }
    return true;
}

} // namespace

void VPackage::fileOpen()
{
    openPackage(
        MainWindowDialogs::openFileName(nullptr, QStringLiteral("Open Package"), PackageFilter));
}

void VPackage::packageSearch()
{
    centerWidget(m_searchDialog, this);
    if (CPrompt::exec(m_searchDialog) != QDialog::Accepted)
        return;
    const QString query = m_searchDialog->query->text();
    if (query.isEmpty())
        return;
    const CPackageSearch search(query, m_searchDialog->searchMode(),
                                m_searchDialog->caseSensitive->isChecked());

    // Every node of the tree in pre-order (the root, then each child and all
    // below it, in child order), straight from the package's nodes; the
    // table shows the matches through its model, so a search that lists
    // every entry of a large archive makes nothing per row.
    QVector<CPackageHierarchyNode *> matches;
    std::vector<CPackageHierarchyNode *> pending;
    if (CPackageHierarchyNode *root = m_treeModel->root())
        pending.push_back(root);
    while (!pending.empty()) {
        CPackageHierarchyNode *node = pending.back();
        pending.pop_back();
        if (search.matches(node->name()))
            matches.append(node);
        for (int i = node->childCount() - 1; i >= 0; --i)
            pending.push_back(node->child(unsigned(i)));
    }
    m_tableModel->setNodes(std::move(matches));
}

void VPackage::showProperties(CPackageHierarchyNode *node)
{
    const CPackageProperties properties = CPackageProperties::describe(m_delegate.get(), node);
    if (!properties.valid)
        return;
    m_propertiesDialog->fill(properties);
    centerWidget(m_propertiesDialog, this);
    m_propertiesDialog->setFixedSize(m_propertiesDialog->size());
    CPrompt::exec(m_propertiesDialog);
}

QString VPackage::nodePath(const CPackageHierarchyNode *node)
{
    return node && node->parent() ? QLatin1Char('/') + node->path(true) : QString();
}

void VPackage::treeContextExtract()
{
    if (m_contextTreeNode)
        extractNodes({m_contextTreeNode});
}

void VPackage::tableContextExtract()
{
    // One entry per selected row, in the order of the selection.
    QVector<CPackageHierarchyNode *> nodes;
    for (const QModelIndex &row : m_table->selectionModel()->selectedRows(0)) {
        if (CPackageHierarchyNode *node = m_tableModel->node(row.row()))
            nodes.append(node);
    }
    extractNodes(nodes);
}

void VPackage::extractNodes(const QVector<CPackageHierarchyNode *> &nodes)
{
    if (nodes.isEmpty() || !m_delegate)
        return;
    QString output =
        MainWindowDialogs::existingDirectory(nullptr, QStringLiteral("Select Directory"));
    if (output.isEmpty())
        return;
    output = CPackageExtraction::outputFolder(output);

    QProgressDialogger dialog(QStringLiteral("Preprocessing..."), 0, 0, QString(), this);
    dialog.setObjectName(QStringLiteral("extractionDialog"));
    dialog.setMinimumWidth(500);
    centerWidget(&dialog, this);
    dialog.autoClose = true;
    dialog.setModal(true);
    dialog.show();

    struct Work
    {
        CPackageHierarchyNode *node;
        QString folder; // empty or starting with "/"
    };
    QVector<Work> work;
    for (CPackageHierarchyNode *node : nodes)
        work.append({node, QString()});

    int total = 0;
    for (const Work &w : work)
        total += CPackageExtraction::workTotal(w.node);
    dialog.setLabelText(QStringLiteral("Extracting..."));
    dialog.setMaximum(total);

    QDir folders;
    // Steps of refused folders' contents, which are never visited: counted as
    // done, so a run whose only trouble was such names still ends with Ok.
    int skipped = 0;
    for (int i = 0; i < work.size(); ++i) {
        // Copied: appending below may move the list.
        const Work w = work[i];
        CPackageHierarchyNode *node = w.node;
        const QString name = node->name();
        const QString target = output + w.folder + QLatin1Char('/') + name;
        if (!CPackageExtraction::isSafeName(name)) {
            // A name from the archive must not lead out of the chosen folder.
            dialog.log(QString::fromLatin1(CPackageExtraction::UnsafeName)
                           .arg(w.folder + QLatin1Char('/') + name),
                       true);
            skipped += CPackageExtraction::workTotal(node) - 1;
        } else if (node->isFolder()) {
            if (folders.mkpath(target)) {
                for (int c = 0; c < node->childCount(); ++c)
                    work.append({node->child(unsigned(c)), w.folder + QLatin1Char('/') + name});
            } else {
                dialog.log(QString::fromLatin1(CPackageExtraction::PathNotCreated).arg(target),
                           true);
            }
        } else {
            QString error;
            if (!writeEntry(*m_delegate, node, target, error))
                dialog.log(error, true);
        }
        if (dialog.isCanceled)
            break;
        dialog.setValue(i + 1 + skipped);
    }
    if (dialog.isVisible())
        CPrompt::exec(&dialog);
    dialog.hide();
}

void VPackage::openEntry(CPackageHierarchyNode *node)
{
    if (!node || node->isFolder() || !m_delegate)
        return;
    const QString name = node->name();
    const bool material = name.endsWith(QLatin1String(".vmt"), Qt::CaseInsensitive);
    const bool texture = name.endsWith(QLatin1String(".vtf"), Qt::CaseInsensitive);
    if (!material && !texture) {
        openWithDesktop(node);
        return;
    }

    std::unique_ptr<QByteArray> bytes(m_delegate->readCurrent(node->entryIndex));
    if (!bytes) {
        // A compressed pakfile file, a missing archive: say why nothing opens.
        CPrompt::warning(this, windowTitle(), m_delegate->lastError());
        return;
    }
    if (!IMainWindow::instance())
        return;
    const QString title = name.left(name.size() - 4);
    if (material) {
        MainWindowTools::open("showVVMT", Q_ARG(QByteArray, *bytes), Q_ARG(QString, title));
        return;
    }
    QString reason;
    CFileVTF *document = CFileVTF::fromByteArray(*bytes, reason);
    bytes.reset();
    // A texture the reader refuses (an image format the tools do not know,
    // say) is said, as an entry that cannot be read is.
    if (!document) {
        CPrompt::warning(this, windowTitle(), reason);
        return;
    }
    document->setDisplayName(title);
    // The texture editor takes the document over.
    if (!MainWindowTools::open("showVVTF", Q_ARG(CFileVTF *, document)))
        delete document;
}

void VPackage::openWithDesktop(CPackageHierarchyNode *node)
{
    const QString name = node->name();
    const auto warn = [this, &name](const char *text, const QString &path = QString()) {
        // One pass over the text: a "%2" inside an entry's name stays as it is.
        const QString format = QString::fromLatin1(text);
        CPrompt::warning(this, windowTitle(),
                         path.isEmpty() ? format.arg(name) : format.arg(name, path));
    };
    // A private folder and a fresh name: a copy never lands on a file or link
    // someone else placed in the shared temporary folder.
    const QString folder = CSessionDirectory::path();
    if (folder.isEmpty()) {
        warn(CPackageExtraction::NoTemporaryFolder);
        return;
    }
    const QString path = CPackageExtraction::uniqueFilePath(folder, name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        warn(CPackageExtraction::CopyNotWritten, path);
        return;
    }

    QProgressDialog progress(QStringLiteral("Processing..."), QStringLiteral("Abort"), 0, 0, this);
    progress.setCancelButton(nullptr);
    progress.setWindowTitle(windowTitle());
    progress.setMinimumWidth(400);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    centerWidget(&progress, this);

    const bool written = m_delegate->writeCurrent(&file, node->entryIndex);
    file.close();
    if (IMainWindow *main = IMainWindow::instance())
        main->registerTemporaryFile(path);
    progress.reset();
    if (!written) {
        // The entry's bytes could not be read: say why instead of opening nothing.
        CPrompt::warning(this, windowTitle(), m_delegate->lastError());
        return;
    }
    switch (CDesktopFile::open(path)) {
    case CDesktopFile::Opened:
        break;
    case CDesktopFile::NoApplication:
        warn(CPackageExtraction::NoApplication);
        break;
    case CDesktopFile::NoFile:
    case CDesktopFile::NotOpened:
        warn(CPackageExtraction::ApplicationNotStarted);
        break;
    }
}

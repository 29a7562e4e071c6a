// The particle editor's exchange and batch entries: Import, Export, the GUID
// uniqueness checks, the mass format conversion, the system search and the
// map manifest. The work itself is done in the particle core; these ask the
// user, show progress and report.
#include "VParticle.h"

#include "CConfig.h"
#include "CDialoggerSink.h"
#include "CFilePCF.h"
#include "CPath.h"
#include "CProgressAside.h"
#include "CProgressBoxSink.h"
#include "CPrompt.h"
#include "MainWindowDialogs.h"
#include "PCFBatch.h"
#include "PCFDelegate.h"
#include "PCFErrors.h"
#include "PCFExchange.h"
#include "PCFFormatChoice.h"
#include "PCFManifest.h"
#include "PCFSystemSearch.h"
#include "PCFToolTexts.h"
#include "QFileListDialog.h"
#include "QListDialog.h"
#include "QProgressDialogger.h"
#include "VParticleTexts.h"
#include "uifunctions.h"

#include <QCheckBox>
#include <QFile>
#include <QProgressDialog>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

using VParticleText::latin1;

const QList<CFilePCF *> &templates()
{
    return CConfig::instance()->particleTemplates;
}

const QVector<PCFKeptList> &keptLists()
{
    return CConfig::instance()->particleKept;
}

// The systems of a document the user picks, with the "Preserve GUID
// Information" choice. False when cancelled or nothing was picked.
bool chooseSystems(QWidget *parent, const CFilePCF *document, const QString &title,
                   QList<DMXElement *> *chosen, bool *preserveGuids)
{
    const QList<DMXElement *> systems = PCFExchange::systemElements(document);
    QListDialog dialog(parent, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto *preserve = new QCheckBox(latin1(VParticleText::PreserveGuids), &dialog);
    preserve->setObjectName(QStringLiteral("preserveGuids"));
    // Just above the buttons, which are the layout's last item.
    dialog.mainLayout->insertWidget(dialog.mainLayout->count() - 1, preserve);
    dialog.setItems(PCFExchange::elementNames(systems));
    dialog.setSelectionMode(QAbstractItemView::ExtendedSelection);
    dialog.setWindowTitle(title);
    if (dialog.execute() != 1)
        return false;
    QList<int> rows = dialog.selectedRows();
    if (rows.isEmpty())
        return false;
    // Copies are named in list order, whatever order the rows were picked in.
    std::sort(rows.begin(), rows.end());
    chosen->clear();
    for (int row : qAsConst(rows))
        chosen->append(systems.value(row));
    *preserveGuids = preserve->isChecked();
    return true;
}

} // namespace

bool VParticle::mergeSystems(CFilePCF *source, const QList<DMXElement *> &systems, CFilePCF *target,
                             bool preserveGuids)
{
    QString warning;
    PCFConversionReport losses;
    const bool merged =
        PCFExchange::mergeSystems(source, systems, target, preserveGuids, templates(), keptLists(),
                                  delegate, &warning, &losses);
    reportLosses(losses, displayName());
    if (!merged)
        warn(warning);
    return merged;
}

void VParticle::particleImport()
{
    if (!document)
        return;
    const QString path = MainWindowDialogs::openFileName(nullptr, tr("Source PCF"),
                                                         latin1(VParticleText::PcfFilter));
    if (path.isEmpty() || !QFile::exists(path))
        return;
    std::unique_ptr<CFilePCF> source(new CFilePCF);
    if (!delegate->read(path, source.get())) {
        warn(delegate->error());
        return;
    }
    if (source->format == 0) {
        warn(latin1(PCFError::ImportFormat));
        return;
    }
    QList<DMXElement *> systems;
    bool preserveGuids = false;
    if (!chooseSystems(this, source.get(), tr("Import Particle Systems"), &systems, &preserveGuids))
        return;
    // Conforming the document may free elements the rows point at.
    tree->clear();
    contextItem = contextParent = nullptr;
    const bool merged = mergeSystems(source.get(), systems, document, preserveGuids);
    fillTree();
    setWindowModified(true);
    if (merged)
        CPrompt::information(this, windowTitle(), latin1(PCFText::OperationComplete));
}

void VParticle::particleExport()
{
    if (!document)
        return;
    QList<DMXElement *> systems;
    bool preserveGuids = false;
    if (!chooseSystems(this, document, tr("Export Particle Systems"), &systems, &preserveGuids))
        return;
    const QString path = MainWindowDialogs::saveFileName(nullptr, tr("Target PCF"),
                                                         latin1(VParticleText::PcfFilter));
    if (path.isEmpty())
        return;
    QString warning;
    PCFConversionReport losses;
    if (PCFExchange::exportSystems(path, document, systems, preserveGuids, templates(), keptLists(),
                                   delegate, &warning, &losses)) {
        // Only a written file lost anything.
        reportLosses(losses, CPath(path, true).fileName(false));
        CPrompt::information(this, windowTitle(), latin1(PCFText::OperationComplete));
    } else {
        warn(warning);
    }
}

void VParticle::particleEnsureUniqueGUIDsingle()
{
    if (!document)
        return;
    if (PCFExchange::ensureUniqueGuids(document))
        setWindowModified(true);
    fillTree();
    CPrompt::information(this, windowTitle(), latin1(PCFText::OperationComplete));
}

void VParticle::particleEnsureUniqueGUIDmultiple()
{
    runBatchOperation(PCFBatch::EnsureUniqueGuids);
}

void VParticle::particleMassFormat()
{
    runBatchOperation(PCFBatch::MassFormat);
}

void VParticle::runBatchOperation(int mode)
{
    QString title;
    if (mode == PCFBatch::EnsureUniqueGuids)
        title = tr("Ensure GUID Uniqueness");
    else if (mode == PCFBatch::MassFormat)
        title = tr("Mass Format");
    else
        return;

    QFileListDialog files(latin1(VParticleText::PcfFilter), this);
    files.setWindowTitle(title);
    if (files.execute() != 1)
        return;
    const QStringList paths = files.files();
    int target = 0;
    if (mode == PCFBatch::MassFormat) {
        target = choosePcfFormat(this, title);
        if (target == 0)
            return;
    }

    QProgressDialog progress(latin1(PCFText::Reading), QString(), 0, paths.size(), this);
    progress.setWindowTitle(windowTitle());
    progress.setMinimumWidth(400);
    progress.setWindowModality(Qt::WindowModal);
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);

    CProgressBoxSink sink(&progress, windowTitle());
    PCFBatch batch(delegate, &sink);
    batch.run(mode, paths, target, templates(), keptLists());
    CProgressAside::end(progress);
    CPrompt::information(this, windowTitle(), latin1(PCFText::OperationComplete));
}

void VParticle::particleFindSystem()
{
    QFileListDialog files(latin1(VParticleText::PcfFilter), this);
    files.setWindowTitle(tr("Find System"));
    QString systemName;
    for (;;) {
        if (files.execute() != 1)
            return;
        const QStringList paths = files.files();
        bool ok = false;
        const QString answer = CPrompt::getText(&files, tr("System Name"), tr("Enter system name:"),
                                                QLineEdit::Normal, systemName, &ok);
        systemName = ok ? answer : QString();
        if (systemName.isEmpty())
            continue;

        QProgressDialogger progress(QString(), 0, paths.size(), QString(), this);
        progress.setMinimumWidth(500);
        centerWidget(&progress, this);
        CDialoggerSink sink(&progress);
        const QStringList found = PCFSystemSearch::filesDefining(paths, systemName, &sink);
        if (progress.isVisible())
            CPrompt::exec(&progress);
        progress.hide();

        QListDialog results(&files, QDialogButtonBox::Ok);
        results.setItems(found);
        results.setSelectionMode(QAbstractItemView::NoSelection);
        results.setWindowTitle(tr("Search Results"));
        results.execute();
    }
}

void VParticle::particleGenerateMapManifest()
{
    const QString mapPath = MainWindowDialogs::openFileName(nullptr, tr("Select BSP"),
                                                            latin1(VParticleText::MapFilter));
    if (mapPath.isEmpty())
        return;
    const QString folder =
        MainWindowDialogs::existingDirectory(nullptr, tr("Select Particle Directory"));
    if (folder.isEmpty())
        return;
    const QStringList names = PCFManifest::particleFiles(folder);
    if (names.isEmpty()) {
        warn(latin1(PCFError::ManifestNoParticles));
        return;
    }

    QProgressDialogger progress(latin1(PCFText::Processing), 0, names.size(), QString(), this);
    progress.setMinimumWidth(500);
    centerWidget(&progress, this);
    progress.setButtonOkEnabled(false);
    progress.setModal(true);
    CDialoggerSink sink(&progress);
    {
        // The documents and the map go before the dialog waits for Ok.
        PCFManifest manifest(&sink);
        manifest.run(mapPath, folder, names);
    }
    progress.setButtonOkEnabled(true);
    progress.setLabelText(latin1(PCFText::OperationComplete));
    CPrompt::exec(&progress);
}

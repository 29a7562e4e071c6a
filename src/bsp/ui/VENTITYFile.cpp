// The entity editor's files: opening, loading from maps, lump files and map
// sources, saving into the map or the lump file, import and export. Maps are
// reached only through a map delegate of each action's own.
#include "VENTITY.h"

#include "BspErrors.h"
#include "CConfig.h"
#include "CDelegateBSP.h"
#include "CPath.h"
#include "CProgressThrottle.h"
#include "CPrompt.h"
#include "CSaveFile.h"
#include "EntityLump.h"
#include "EntityMapSource.h"
#include "MainWindowDialogs.h"
#include "VEntityListWidgetItem.h"
#include "VMFReader.h"
#include "functions.h"
#include "uifunctions.h"

#include <QAction>
#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>

namespace E = BspErrors;

namespace {

const QString BspFilter = QStringLiteral("Valve Binary Space Partition (*.bsp)");
const QString LmpFilter = QStringLiteral("Lump File (*.lmp)");

// The extension as the path type splits it ("a.b.bsp" has "b.bsp"), so a
// name with a further dot is no file of any kind here.
bool hasSuffix(const QString &path, std::initializer_list<const char *> suffixes)
{
    const QString extension = CPath(path, true).extension();
    for (const char *suffix : suffixes) {
        if (extension.compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The toolkit's progress dialog without a cancel button: the work behind it
// cannot stop half-way.
void setUpProgress(QProgressDialog &dialog, QWidget *window, int minimumDuration)
{
    dialog.setCancelButton(nullptr);
    dialog.setWindowTitle(window->windowTitle());
    dialog.setMinimumWidth(400);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setMinimumDuration(minimumDuration);
    centerWidget(&dialog, window);
}

bool askYesNo(QWidget *window, const QString &text)
{
    return CPrompt::question(window, window->windowTitle(), text,
                             QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) == QMessageBox::Yes;
}

} // namespace

bool VENTITY::openFile(const QString &path)
{
    if (path.isEmpty())
        return true;
    if (!m_path.isEmpty()) {
        openElsewhere(path);
        return true;
    }
    if (!loadMap(path) && !loadLump(path) && !loadMapSource(path))
        return false;
    for (QAction *action : {m_saveAction, m_importMenu->menuAction(), m_importBspAction,
                            m_importLmpAction, m_importVmfAction, m_exportMenu->menuAction(),
                            m_exportLmpAction, m_exportVmfAction, m_boxAction, m_sphereAction})
        action->setEnabled(true);
    m_filterEdit->setEnabled(true);
    m_filterButton->setEnabled(true);
    m_entityAddButton->setEnabled(true);
    m_path = path;
    setWindowTitle(CPath(path, true).fileName(false) + QStringLiteral("[*]"));
    return true;
}

void VENTITY::parseEntityLump(QIODevice *device, qint64 end)
{
    appendEntities(EntityLump::parse(device, end));
}

QByteArray VENTITY::buildEntityLump()
{
    QProgressDialog progress(QStringLiteral("Building entity lump..."), QStringLiteral("Abort"), 0,
                             m_entityList->count(), this);
    setUpProgress(progress, this, 500);
    normalizeEntities();
    progress.setMaximum(m_entityList->count());
    // The dialog's clock starts with the counted work: it judges from its
    // first steps whether to show at all, and the normalising above is no step.
    progress.setValue(0);
    // Once the dialog shows, each value it takes processes events: far more
    // than writing one entity costs.
    CProgressThrottle throttle;
    const QByteArray text = EntityLump::build(entities(), [&progress, &throttle](int written) {
        if (throttle.due(written, progress.maximum()))
            progress.setValue(written);
    });
    progress.close();
    return text;
}

bool VENTITY::loadMap(const QString &path)
{
    if (!hasSuffix(path, {"bsp"}))
        return false;
    // Read-only: loading must work on a write-protected map and never
    // creates or changes one.
    CDelegateBSP map;
    if (!map.open(path, true)) {
        warn(map.lastError());
        return false;
    }
    QByteArray lump;
    QBuffer buffer(&lump);
    if (!buffer.open(QIODevice::ReadWrite)) {
        warn(QString::fromLatin1(E::UnableToOpenLumpBuffer));
        return false;
    }
    if (!map.writeStored(&buffer, 0)) {
        warn(map.lastError());
        return false;
    }
    buffer.seek(0);
    parseEntityLump(&buffer, buffer.size());
    return true;
}

bool VENTITY::loadLump(const QString &path)
{
    if (!hasSuffix(path, {"lmp"}))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        warn(QString::fromLatin1(E::EntityUnableToOpenFile));
        return false;
    }
    QVector<CEntity> parsed;
    QString error;
    if (!EntityLump::readLumpFile(&file, parsed, error)) {
        warn(error);
        return false;
    }
    appendEntities(std::move(parsed));
    return true;
}

bool VENTITY::loadMapSource(const QString &path)
{
    if (!hasSuffix(path, {"vmf", "vmx"}))
        return false;
    // Read-only: a read-write open would create a missing file and fail on
    // a write-protected one.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        warn(QString::fromLatin1(E::UnableToOpenFile).arg(path));
        return false;
    }
    VMFSkippedBlocks skipped;
    const std::unique_ptr<CFileVMF> document = readVmf(&file, -1, &skipped);
    if (!document) {
        warn(QString::fromLatin1(E::UnableToRead).arg(path));
        return false;
    }
    // An export from these entities will not carry what was skipped.
    if (skipped.count > 0)
        qWarning().noquote() << skipped.warning(path);
    const bool skipHidden = EntityMapSource::hasHiddenEntity(*document) &&
                            askYesNo(this, QStringLiteral("Ignore hidden entities?"));
    for (CEntity &entity : EntityMapSource::entities(*document, skipHidden)) {
        auto *item = new VEntityListWidgetItem(std::move(entity), QStringLiteral("info_null"));
        labelEntity(item);
        m_entityList->addItem(item);
    }
    filterEntities();
    return true;
}

bool VENTITY::fileSave()
{
    if (m_path.isEmpty()) {
        warn(QString::fromLatin1(E::NoAssociatedFile));
        return false;
    }
    bool saved = false;
    if (hasSuffix(m_path, {"bsp"})) {
        saved = saveToMap(m_path);
    } else if (hasSuffix(m_path, {"lmp"})) {
        saved = saveLump(m_path);
    } else {
        warn(QString::fromLatin1(E::FileTypeNotRecognized).arg(CPath(m_path, true).extension()));
        return false;
    }
    // A failed save leaves the changes marked as unsaved.
    if (saved)
        setWindowModified(false);
    return saved;
}

bool VENTITY::saveToMap(const QString &path)
{
    QByteArray text = buildEntityLump();
    CDelegateBSP map;
    if (!map.open(path, false)) {
        warn(map.lastError());
        return false;
    }
    const int oldLength = map.lumpInfo(0, 2);
    if (text.size() < oldLength &&
        askYesNo(this, QStringLiteral("New entity lump smaller than original lump. Preserve "
                                      "original lump size?")))
        text.append(QByteArray(oldLength - text.size(), '\0'));
    // Made only after the question: the prompt steps a progress dialog
    // aside while a box is up, but one made now is for the work that follows.
    QProgressDialog busy(QStringLiteral("Writing entity lump..."), QStringLiteral("Abort"), 0, 0,
                         this);
    setUpProgress(busy, this, 0);
    if (!map.setData(text, false, map.node(0))) {
        warn(map.lastError());
        return false;
    }
    if (!map.flush(nullptr)) {
        // The map on disk is as it was; say why the new one is not.
        QString message = QString::fromLatin1(E::SaveIncomplete);
        if (!map.lastError().isEmpty())
            message += QLatin1Char('\n') + map.lastError();
        warn(message);
        return false;
    }
    return true;
}

bool VENTITY::saveLump(const QString &path)
{
    const QByteArray text = buildEntityLump();
    // Written aside and put in place only when complete.
    CSaveFile file(path);
    const auto fail = [&] {
        const QString message =
            file.folderOr(QString::fromLatin1(E::SaveError).arg(file.errorString()));
        file.cancelWriting();
        warn(message);
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    const QByteArray bytes = EntityLump::lumpFileBytes(text);
    if (file.write(bytes) != bytes.size())
        return fail();
    if (text.size() < EntityLump::MaxCustomLumpSize &&
        askYesNo(this, QStringLiteral("Specify custom lump size?"))) {
        bool ok = false;
        const int size =
            CPrompt::getInt(this, windowTitle(), QStringLiteral("Custom size in bytes:"),
                            text.size(), text.size(), EntityLump::MaxCustomLumpSize, 1, &ok);
        if (ok && !writePattern(QByteArray(1, '\0'), &file, size - text.size()))
            return fail();
    }
    if (!file.commit()) {
        warn(file.folderOr(QString::fromLatin1(E::SaveError).arg(file.errorString())));
        return false;
    }
    return true;
}

bool VENTITY::exportMapSource(const QString &path)
{
    if (path.isEmpty())
        return false;
    for (int row = 0; row < m_entityList->count(); ++row) {
        VEntityListWidgetItem *entity = entityAt(row);
        if (!EntityMapSource::isWorldClass(*entity))
            labelEntity(entity);
    }
    CFileVMF document = EntityMapSource::toDocument(entities(), CConfig::instance()->studiokeys);
    if (!document.save(path)) {
        warn(document.errorText());
        return false;
    }
    return true;
}

void VENTITY::fileOpen()
{
    openFile(MainWindowDialogs::openFileName(nullptr, QStringLiteral("Open File"),
                                             BspFilter + QStringLiteral(";;") + LmpFilter));
}

void VENTITY::importFromBSP()
{
    const QString path =
        MainWindowDialogs::openFileName(nullptr, QStringLiteral("Import From BSP"), BspFilter);
    if (!path.isEmpty() && loadMap(path))
        setWindowModified(true);
}

void VENTITY::importFromLMP()
{
    const QString path =
        MainWindowDialogs::openFileName(nullptr, QStringLiteral("Import From LMP"), LmpFilter);
    if (!path.isEmpty() && loadLump(path))
        setWindowModified(true);
}

void VENTITY::importFromVMF()
{
    const QString path = MainWindowDialogs::openFileName(
        nullptr, QStringLiteral("Import From VMF"), QStringLiteral("Valve Map File (*.vmf *.vmx)"));
    if (!path.isEmpty() && loadMapSource(path))
        setWindowModified(true);
}

void VENTITY::exportAsLMP()
{
    const QString path =
        MainWindowDialogs::saveFileName(nullptr, QStringLiteral("Export As LMP"), LmpFilter);
    if (!path.isEmpty())
        saveLump(path);
}

void VENTITY::exportAsVMF()
{
    const QString path = MainWindowDialogs::saveFileName(nullptr, QStringLiteral("Export As VMF"),
                                                         QStringLiteral("Valve Map File (*.vmf)"));
    if (!path.isEmpty())
        exportMapSource(path);
}

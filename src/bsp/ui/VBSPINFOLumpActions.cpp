// Extracting a lump to disk and replacing it from disk. Each action opens a
// map delegate of its own and writes the map only through its flush.
#include "VBSPINFO.h"

#include "BspErrors.h"
#include "CConfig.h"
#include "CDelegateBSP.h"
#include "CPrompt.h"
#include "CSaveFile.h"
#include "FlushSyncronizer.h"
#include "LumpFile.h"
#include "MainWindowDialogs.h"
#include "uifunctions.h"

#include <QFile>
#include <QProgressDialog>

namespace E = BspErrors;

namespace {

const QString LumpFilter = QStringLiteral("Lump File (*.lmp);;All Files (*.*)");

// The toolkit's busy dialog, without cancel button: the map work below cannot
// stop half-way.
void setUpBusyDialog(QProgressDialog &dialog, QWidget *window)
{
    dialog.setCancelButton(nullptr);
    dialog.setWindowTitle(window->windowTitle());
    dialog.setMinimumWidth(400);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(true);
    dialog.setMinimumDuration(500);
}

// What a failed flush said, or the general text when it said nothing.
QString flushFailure(const FlushSyncronizer &progress)
{
    QStringList lines;
    for (const FlushMessage &message : progress.messages())
        lines << message.text;
    return lines.isEmpty() ? QString::fromLatin1(E::SaveIncomplete) : lines.join(QLatin1Char('\n'));
}

} // namespace

void VBSPINFO::extractLump(int index)
{
    const QString caption = QStringLiteral("Save Lump");
    const QString directory = MainWindowDialogs::existingDirectory(this, caption);
    if (directory.isEmpty())
        return;
    const bool asLumpFile =
        CPrompt::question(this, windowTitle(), QStringLiteral("Save as *.lmp?"),
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
    const QString fileName =
        LumpFile::extractionFileName(windowTitle(), index, lumpName(index),
                                     CConfig::instance()->saveLumpNameNotNumber, asLumpFile);
    const QString path = directory + QLatin1Char('/') + fileName;
    if (QFile::exists(path) &&
        CPrompt::question(
            this, windowTitle(),
            QStringLiteral("File ") + fileName + QStringLiteral(" already exists.\n\nOverwrite?"),
            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) != QMessageBox::Ok)
        return;

    QProgressDialog busy(QStringLiteral("Processing..."), QStringLiteral("Abort"), 0, 0, this);
    setUpBusyDialog(busy, this);
    // The map first: a map that does not open leaves no file behind.
    CDelegateBSP map;
    if (!map.open(m_mapPath, true)) {
        warn(map.lastError());
        return;
    }
    // Written aside and put in place only when complete, so an agreed
    // overwrite that fails keeps the old file.
    CSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        warn(file.failure(QString::fromLatin1(E::UnableToOpenOutput).arg(fileName)));
        return;
    }
    QString error;
    if (!LumpFile::extract(map, index, &file, asLumpFile, error)) {
        error = file.failure(error);
        file.cancelWriting();
        warn(error);
        return;
    }
    if (!file.commit())
        warn(file.folderOr(
            QString::fromLatin1(E::UnableToSaveOutput).arg(fileName, file.errorString())));
}

void VBSPINFO::replaceLump(int index)
{
    const QString caption = QStringLiteral("Select Lump");
    const QString path = MainWindowDialogs::openFileName(nullptr, caption, LumpFilter);
    if (path.isEmpty())
        return;
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        warn(QString::fromLatin1(E::UnableToOpenFile).arg(path));
        return;
    }
    const bool isLumpFile = path.endsWith(QLatin1String(".lmp"), Qt::CaseInsensitive);
    LumpFile::Header header;
    QByteArray lumpData;
    QString error;
    if (isLumpFile && !LumpFile::read(&source, index, header, lumpData, error)) {
        warn(error);
        return;
    }
    // A raw file is read by the map when it is written.
    source.close();

    QProgressDialog busy(QStringLiteral("Processing..."), QStringLiteral("Abort"), 0, 0, this);
    setUpBusyDialog(busy, this);
    // Opened for writing, so that a write-protected map says so before
    // anything is staged instead of being replaced behind its protection.
    CDelegateBSP map;
    if (!map.open(m_mapPath, false)) {
        warn(map.lastError());
        return;
    }
    const bool staged = isLumpFile ? LumpFile::stage(map, header, std::move(lumpData), error)
                                   : LumpFile::stageRaw(map, index, path, error);
    if (!staged) {
        warn(error);
        return;
    }
    FlushSyncronizer progress;
    if (!map.flush(&progress))
        warn(flushFailure(progress));
    // The delegate now describes the map on disk, rewritten or not.
    loadDelegate(&map);
}

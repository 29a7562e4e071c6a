// The material editor's file side: opening, saving and the close prompt.
#include "VVMT.h"

#include "CPrompt.h"
#include "MainWindowDialogs.h"
#include "MainWindowTools.h"
#include "vmtbytes.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QTextEdit>

namespace {

const char *const VmtFilter = "Valve Material Type (*.vmt)";

// The text after the last "/" or "\", or the whole path.
QString fileNameOf(const QString &path)
{
    const int separator = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf('\\'));
    return path.mid(separator + 1);
}

} // namespace

void VVMT::vmtNew()
{
    openElsewhere(QString());
}

void VVMT::vmtOpen()
{
    openFile(MainWindowDialogs::openFileName(nullptr, tr("Open VMT"), QLatin1String(VmtFilter)));
}

bool VVMT::openFile(const QString &path)
{
    if (path.isEmpty())
        return true;
    if (!m_path.isEmpty() || !text().isEmpty()) {
        openElsewhere(path);
        return true;
    }
    m_path = path;
    // A window whose file could not be read holds no file: a later save must
    // not write its empty text over the one on disk.
    if (readFile())
        return true;
    m_path.clear();
    return false;
}

void VVMT::openElsewhere(const QString &path)
{
    if (MainWindowTools::open("showVVMT", Q_ARG(QString, path)))
        return;
    // Without a main window the further editor stands on its own.
    auto *window = new VVMT(path);
    window->show();
}

bool VVMT::readFile()
{
    if (m_path.isEmpty())
        return false;
    QString loaded, error;
    MaterialLineEnds ends;
    if (!readMaterialFile(m_path, loaded, ends, error)) {
        warn(error);
        return false;
    }
    m_displayName = fileNameOf(m_path);
    setEditorText(loaded, ends);
    setWindowTitle(m_displayName + QStringLiteral("[*]"));
    setWindowModified(false);
    return true;
}

bool VVMT::writeFile()
{
    QString error;
    const QByteArray bytes = scriptBytes();
    if (!writeMaterialFile(m_path, bytes, error)) {
        warn(error);
        return false;
    }
    // The file now holds these bytes: a further save without an edit keeps
    // them.
    m_readText = decodeMaterialText(bytes, &m_readEnds);
    setWindowModified(false);
    return true;
}

bool VVMT::save()
{
    return m_path.isEmpty() ? saveAs() : writeFile();
}

bool VVMT::saveAs()
{
    const QString chosen =
        MainWindowDialogs::saveFileName(nullptr, tr("Save VMT"), QLatin1String(VmtFilter));
    if (chosen.isEmpty()) {
        // A cancelled choice leaves the window without a file: the next Save
        // asks again.
        m_path.clear();
        return false;
    }
    const QString previousPath = m_path;
    const QString previousName = m_displayName;
    m_path = chosen;
    m_displayName = fileNameOf(chosen);
    if (!writeFile()) {
        m_path = previousPath;
        m_displayName = previousName;
        return false;
    }
    setWindowTitle(m_displayName + QStringLiteral("[*]"));
    return true;
}

void VVMT::vmtSave()
{
    save();
}

void VVMT::vmtSaveAs()
{
    saveAs();
}

void VVMT::warn(const QString &message)
{
    CPrompt::warning(this, windowTitle(), message, QMessageBox::Ok);
}

void VVMT::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!isWindowModified())
        return;
    const QString title = m_displayName.isEmpty() ? QStringLiteral("VMT Editor") : m_displayName;
    QMessageBox box(QMessageBox::Question, title, tr("The document has been modified."),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setInformativeText(tr("Do you want to save your changes?"));
    box.setDefaultButton(QMessageBox::Save);
    const int answer = CPrompt::exec(&box);
    // Closing after Save only once the text is really on disk.
    if (answer == QMessageBox::Save ? !save() : answer != QMessageBox::Discard)
        event->ignore();
}

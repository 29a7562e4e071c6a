#include "OSTREL.h"

#include "CFileFGD.h"
#include "COutsideTool.h"
#include "CPrompt.h"

#include <QMessageBox>

namespace {
const char *const OptionsText = "Not yet implemented. See zedidavurur.ini.";
const char *const TodoText = "Not yet implemented.";
const char *const LoadCaption = "Load";
const char *const FgdFilter = "Forge Game Data (*.fgd)";

// The launchers write a self-deleting script in the working folder and start
// it; a failure is the only thing the user sees.
void warnUnlessEmpty(OSTREL *window, const QString &warning)
{
    if (!warning.isEmpty())
        CPrompt::warning(window, window->windowTitle(), warning, QMessageBox::Ok, QMessageBox::Ok);
}
} // namespace

void OSTREL::showENTSPY()
{
    warnUnlessEmpty(this, COutsideTool::launchEntspy());
}

void OSTREL::showGCFSCAPE()
{
    warnUnlessEmpty(this, COutsideTool::launchGcfscape());
}

void OSTREL::showPAKRAT()
{
    warnUnlessEmpty(this, COutsideTool::launchPakrat());
}

void OSTREL::options()
{
    CPrompt::information(this, windowTitle(), QString::fromLatin1(OptionsText), QMessageBox::Ok,
                         QMessageBox::Ok);
}

void OSTREL::TODO()
{
    CPrompt::information(this, windowTitle(), QString::fromLatin1(TodoText), QMessageBox::Ok,
                         QMessageBox::Ok);
}

void OSTREL::doDummy1()
{
    // The plain dialog, not the remembering one: no start folder, and the
    // choice is not remembered for the other dialogs.
    const QString path = CPrompt::getPlainOpenFileName(this, QString::fromLatin1(LoadCaption),
                                                       QString(), QString::fromLatin1(FgdFilter));
    if (path.isEmpty())
        return;
    QString error;
    CFileFGD *document = CFileFGD::fromFile(path, error);
    CPrompt::information(this, QString(), error, QMessageBox::Ok, QMessageBox::NoButton);
    if (document)
        showVFGD(document);
}

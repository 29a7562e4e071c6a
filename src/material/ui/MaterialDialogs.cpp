#include "MaterialDialogs.h"

#include "CPrompt.h"
#include "IMainWindow.h"

namespace MaterialDialogs {

QString openFileName(const QString &caption, const QString &filter)
{
    if (IMainWindow *main = IMainWindow::instance())
        return main->getOpenFileName(nullptr, caption, filter);
    return CPrompt::getOpenFileName(nullptr, caption, QString(), filter);
}

QStringList openFileNames(const QString &caption, const QString &filter)
{
    if (IMainWindow *main = IMainWindow::instance())
        return main->getOpenFileNames(nullptr, caption, filter);
    return CPrompt::getOpenFileNames(nullptr, caption, QString(), filter);
}

QString saveFileName(const QString &caption, const QString &filter)
{
    if (IMainWindow *main = IMainWindow::instance())
        return main->getSaveFileName(nullptr, caption, filter);
    return CPrompt::getSaveFileName(nullptr, caption, QString(), filter);
}

} // namespace MaterialDialogs

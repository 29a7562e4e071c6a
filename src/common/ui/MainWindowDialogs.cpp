#include "MainWindowDialogs.h"

#include "CPrompt.h"
#include "IMainWindow.h"

namespace MainWindowDialogs {

QString openFileName(QWidget *parent, const QString &caption, const QString &filter)
{
    if (IMainWindow *main = IMainWindow::instance())
        return main->getOpenFileName(parent, caption, filter);
    return CPrompt::getOpenFileName(parent, caption, QString(), filter);
}

QStringList openFileNames(QWidget *parent, const QString &caption, const QString &filter)
{
    if (IMainWindow *main = IMainWindow::instance())
        return main->getOpenFileNames(parent, caption, filter);
    return CPrompt::getOpenFileNames(parent, caption, QString(), filter);
}

QString saveFileName(QWidget *parent, const QString &caption, const QString &filter)
{
    if (IMainWindow *main = IMainWindow::instance())
        return main->getSaveFileName(parent, caption, filter);
    return CPrompt::getSaveFileName(parent, caption, QString(), filter);
}

QString existingDirectory(QWidget *parent, const QString &caption)
{
    if (IMainWindow *main = IMainWindow::instance())
        return main->getExistingDirectory(parent, caption);
    return CPrompt::getExistingDirectory(parent, caption);
}

} // namespace MainWindowDialogs

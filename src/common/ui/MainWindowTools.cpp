#include "MainWindowTools.h"

#include "IMainWindow.h"

#include <QMetaObject>
#include <QWidget>

namespace MainWindowTools {

bool openIn(QWidget *mainWindow, const char *slot, QGenericArgument first, QGenericArgument second)
{
    return mainWindow &&
           QMetaObject::invokeMethod(mainWindow, slot, Qt::DirectConnection, first, second);
}

bool open(const char *slot, QGenericArgument first, QGenericArgument second)
{
    IMainWindow *main = IMainWindow::instance();
    return main && openIn(main->mainWindowWidget(), slot, first, second);
}

} // namespace MainWindowTools

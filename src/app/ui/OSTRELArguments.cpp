#include "OSTREL.h"

#include "CFileVTF.h"
#include "CStartup.h"

#include <QMdiArea>
#include <QMdiSubWindow>

void OSTREL::processArgument(const QString &message)
{
    // A relative path (from an older start that forwards them as typed) is
    // taken from the folder this instance was started in.
    const CStartup::Route route = CStartup::routeFor(message);
    if (route == CStartup::RouteNone) {
        // The empty probe of a later start is no file; anything else that
        // opens nothing is said, so a mistyped name is not met with silence.
        const QString refusal = CStartup::refusal(message);
        if (!refusal.isEmpty()) {
            output(refusal, true);
            CStartup::trace(QStringLiteral("output: ") + refusal);
        }
        return;
    }
    const QString path = CStartup::resolvedPath(message);
    switch (route) {
    case CStartup::RoutePackage:
        showVPackage(path);
        break;
    case CStartup::RouteParticle:
        showVParticle(path);
        break;
    case CStartup::RouteMaterial:
        showVVMT(path);
        break;
    case CStartup::RouteTexture:
        // A file that is no texture opens an empty editor; the reason is not
        // shown.
        showVVTF(CFileVTF::fromFile(path));
        break;
    case CStartup::RouteNone:
        break;
    }
    if (CStartup::isHeadless()) {
        const QList<QMdiSubWindow *> windows = mdiArea()->subWindowList(QMdiArea::CreationOrder);
        const QWidget *opened = windows.isEmpty() ? nullptr : windows.last()->widget();
        CStartup::trace(QStringLiteral("opened \"%1\" in %2, %3 windows")
                            .arg(path, QString::fromLatin1(
                                           opened ? opened->metaObject()->className() : "nothing"))
                            .arg(windows.size()));
    }
}

#include "OSTREL.h"

#include "CFileVTF.h"
#include "CStartup.h"

#include <QMdiArea>

void OSTREL::processArgument(const QString &message)
{
    // Relative paths, forwarded ones too, are taken from the program's own
    // folder, not from wherever a later start was made.
    const CStartup::Route route = CStartup::routeFor(message);
    if (route == CStartup::RouteNone) {
        if (!message.isEmpty())
            CStartup::trace(QStringLiteral("ignored \"%1\"").arg(message));
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
    CStartup::trace(QStringLiteral("opened \"%1\" as %2, %3 windows")
                        .arg(path)
                        .arg(int(route))
                        .arg(mdiArea()->subWindowList().size()));
}

#include "OSTREL.h"

#include "CFileVTF.h"
#include "CStartup.h"

#include <QMdiArea>
#include <QMdiSubWindow>

void OSTREL::reportRefusal(const QString &text)
{
    output(text, true);
    // Where the user looks: a refusal in a minimised or closed pane would go
    // unseen behind the window that did open.
    showOutputPane();
    CStartup::trace(QStringLiteral("output: ") + text);
}

void OSTREL::processArgument(const QString &message)
{
    // A relative path (from an older start that forwards them as typed) is
    // taken from the folder this instance was started in.
    const CStartup::Route route = CStartup::routeFor(message);
    if (route == CStartup::RouteNone) {
        // The empty probe of a later start is no file; anything else that
        // opens nothing is said, so a mistyped name is not met with silence.
        const QString refusal = CStartup::refusal(message);
        if (!refusal.isEmpty())
            reportRefusal(refusal);
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
    case CStartup::RouteTexture: {
        // A file that is no texture opens nothing; the reader says why.
        QString error;
        CFileVTF *texture = CFileVTF::fromFile(path, error);
        if (!texture) {
            reportRefusal(QString::fromLatin1(CStartup::ErrorArgumentUnreadable).arg(path, error));
            return;
        }
        showVVTF(texture);
        break;
    }
    case CStartup::RouteNone:
        break;
    }
    if (CStartup::isHeadless()) {
        const QList<QMdiSubWindow *> windows = mdiArea()->subWindowList(QMdiArea::CreationOrder);
        // A refused file leaves the output pane last, which is no tool.
        const QWidget *opened = windows.isEmpty() || windows.last() == m_outputSubWindow
                                    ? nullptr
                                    : windows.last()->widget();
        CStartup::trace(QStringLiteral("opened \"%1\" in %2, %3 windows")
                            .arg(path, QString::fromLatin1(
                                           opened ? opened->metaObject()->className() : "nothing"))
                            .arg(windows.size()));
    }
}

#include "OSTREL.h"

#include "CFileVTF.h"
#include "CPrompt.h"
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

bool OSTREL::openArgument(CStartup::Route route, const QString &path, QString &reason)
{
    switch (route) {
    case CStartup::RoutePackage:
        return showVPackage(path);
    case CStartup::RouteParticle:
        return showVParticle(path);
    case CStartup::RouteMaterial:
        return showVVMT(path);
    case CStartup::RouteTexture: {
        // A file that is no texture opens nothing; the reader says why.
        CFileVTF *texture = CFileVTF::fromFile(path, reason);
        if (!texture)
            return false;
        showVVTF(texture);
        return true;
    }
    case CStartup::RouteNone:
        break;
    }
    return true;
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
    // A tool that refuses the file says why in a box that does not name it;
    // among several files of a command line the pane line tells which.
    QString reason;
    bool opened = false;
    {
        const CPrompt::ScopedWatch watch([&reason](const CPrompt::Request &request) {
            if (request.kind == CPrompt::Kind::Warning || request.kind == CPrompt::Kind::Critical)
                reason = request.text;
        });
        opened = openArgument(route, path, reason);
    }
    if (!opened) {
        reportRefusal(QString::fromLatin1(CStartup::ErrorArgumentUnreadable).arg(path, reason));
        return;
    }
    if (CStartup::isHeadless()) {
        const QList<QMdiSubWindow *> windows = mdiArea()->subWindowList(QMdiArea::CreationOrder);
        // The output pane, last where no tool was added, is no tool.
        const QWidget *tool = windows.isEmpty() || windows.last() == m_outputSubWindow
                                  ? nullptr
                                  : windows.last()->widget();
        CStartup::trace(
            QStringLiteral("opened \"%1\" in %2, %3 windows")
                .arg(path, QString::fromLatin1(tool ? tool->metaObject()->className() : "nothing"))
                .arg(windows.size()));
    }
}

#include "OSTREL.h"

#include "CDelegateBSP.h"
#include "CPrompt.h"
#include "VBSPINFO.h"
#include "VENTITY.h"
#include "VFGD.h"
#include "VMass.h"
#include "VPackage.h"
#include "VPakfile.h"
#include "VParticle.h"
#include "VSPLIT.h"
#include "VTFMass.h"
#include "VVBSP.h"
#include "VVMT.h"
#include "VVTF.h"

#include <QMdiArea>
#include <QMessageBox>

void OSTREL::showVSplit()
{
    if (m_splitterSubWindow) {
        if (m_splitterSubWindow->isMinimized())
            m_splitterSubWindow->showNormal();
        else if (m_mdiArea->activeSubWindow() == m_splitterSubWindow)
            m_splitterSubWindow->close();
        else
            m_mdiArea->setActiveSubWindow(m_splitterSubWindow);
        return;
    }
    auto *editor = new VSPLIT;
    QMdiSubWindow *subWindow = m_mdiArea->addSubWindow(editor);
    subWindow->setAttribute(Qt::WA_DeleteOnClose, false);
    // The editor deletes itself when closed; its sub-window goes with it, so
    // the next request builds a fresh editor instead of showing an empty frame.
    connect(editor, &QObject::destroyed, subWindow, &QObject::deleteLater);
    m_splitterSubWindow = subWindow;
    subWindow->adjustSize();
    subWindow->show();
    placeToolWindow(subWindow);
}

void OSTREL::showVPackage()
{
    openToolWindow(new VPackage(QString()));
}

bool OSTREL::showVPackage(const QString &fileToOpen)
{
    auto *viewer = new VPackage(QString());
    return openFileInToolWindow(
        viewer, fileToOpen, [viewer](const QString &path) { return viewer->openPackage(path); });
}

void OSTREL::showVMass()
{
    openToolWindow(new VMass(nullptr));
}

void OSTREL::showVParticle()
{
    openToolWindow(new VParticle(this));
}

bool OSTREL::showVParticle(const QString &fileToOpen)
{
    auto *editor = new VParticle(this);
    return openFileInToolWindow(editor, fileToOpen,
                                [editor](const QString &path) { return editor->openFile(path); });
}

void OSTREL::showVParticle(CFilePCF *fileToOpen)
{
    openToolWindow(new VParticle(this, fileToOpen));
}

void OSTREL::showVVBSP()
{
    openToolWindow(new VVBSP);
}

void OSTREL::showVVBSP(const QString &fileToOpen)
{
    auto *editor = new VVBSP;
    openFileInToolWindow(editor, fileToOpen,
                         [editor](const QString &path) { return editor->openFile(path); });
}

void OSTREL::showVVBSP(CFileVBSP *fileToOpen)
{
    openToolWindow(new VVBSP(fileToOpen));
}

void OSTREL::showVVMT()
{
    openToolWindow(new VVMT(QString()));
}

bool OSTREL::showVVMT(const QString &fileToOpen)
{
    auto *editor = new VVMT(QString());
    return openFileInToolWindow(editor, fileToOpen,
                                [editor](const QString &path) { return editor->openFile(path); });
}

void OSTREL::showVVMT(const QByteArray &materialText, const QString &name)
{
    openToolWindow(new VVMT(materialText, name));
}

void OSTREL::showVFGD()
{
    openToolWindow(new VFGD(nullptr));
}

void OSTREL::showVFGD(CFileFGD *fileToOpen)
{
    openToolWindow(new VFGD(fileToOpen));
}

void OSTREL::showVVTF()
{
    openToolWindow(new VVTF(QString()));
}

void OSTREL::showVVTF(const QString &fileToOpen)
{
    auto *editor = new VVTF(QString());
    openFileInToolWindow(editor, fileToOpen,
                         [editor](const QString &path) { return editor->vtfOpen(path); });
}

void OSTREL::showVVTF(CFileVTF *vtf)
{
    openToolWindow(new VVTF(vtf));
}

void OSTREL::showVTFMass()
{
    openToolWindow(new VTFMass);
}

void OSTREL::showVBSPInfo()
{
    const QString path = getOpenFileName(nullptr, QStringLiteral("Open BSP"),
                                         QStringLiteral("Valve Binary Space Partition (*.bsp)"));
    if (path.isEmpty())
        return;
    // Held only while the information window takes what it needs.
    CDelegateBSP delegate;
    if (delegate.open(path, true))
        openToolWindow(new VBSPINFO(&delegate, nullptr));
    else
        CPrompt::warning(this, QStringLiteral("BSP Info"), delegate.lastError(), QMessageBox::Ok);
    delegate.close();
}

void OSTREL::showVBSPInfo(const QString &fileToOpen)
{
    auto *information = new VBSPINFO(QString(), nullptr);
    openFileInToolWindow(information, fileToOpen, [information](const QString &path) {
        return information->openFile(path);
    });
}

void OSTREL::showVEntity()
{
    openToolWindow(new VENTITY(this, QString()));
}

void OSTREL::showVEntity(const QString &fileToOpen)
{
    auto *editor = new VENTITY(this, QString());
    openFileInToolWindow(editor, fileToOpen,
                         [editor](const QString &path) { return editor->openFile(path); });
}

void OSTREL::showVPakfile()
{
    openToolWindow(new VPakfile);
}

void OSTREL::showVPakfile(const QString &fileToOpen)
{
    auto *editor = new VPakfile;
    openFileInToolWindow(editor, fileToOpen,
                         [editor](const QString &path) { return editor->open(path); });
}

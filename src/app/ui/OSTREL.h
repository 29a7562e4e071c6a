#pragma once

#include "CFileIconCache.h"
#include "CStartup.h"
#include "IMainWindow.h"

#include <QByteArray>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class CFileFGD;
class CFilePCF;
class CFileVBSP;
class CFileVTF;
class QAction;
class QMdiArea;
class QMenu;
class QTextEdit;
class QToolBar;

// The workbench's one main window: the tool menu and tool bar, the tabbed
// document area every tool window lives in, the output pane, the shared file
// dialogs, and the temporary and recent file lists. Every tool reaches it
// through instance(); tool libraries, which cannot link this one, reach the
// services they need through IMainWindow.
class OSTREL : public QMainWindow, public IMainWindow
{
    Q_OBJECT

public:
    // The process-wide window, created on the first call (start-up passes the
    // command line; everyone else passes nothing). Only the interface thread
    // creates it; elsewhere this returns the existing window or null.
    static OSTREL *instance(int argc = 0, char **argv = nullptr);
    // The process-wide window if there is one; never creates it.
    static OSTREL *existingInstance();

    // The first window constructed becomes the process-wide one.
    explicit OSTREL(int argc = 0, char **argv = nullptr, QWidget *parent = nullptr);
    ~OSTREL() override;

    // The shared file dialogs. An empty directory opens the remembered one; a
    // choice remembers the chosen file's directory (the first file's; for a
    // chosen directory, its parent); cancelling changes nothing.
    QString getOpenFileName(QWidget *parent, const QString &caption, const QString &filter,
                            const QString &directory = QString()) override;
    QStringList getOpenFileNames(QWidget *parent, const QString &caption, const QString &filter,
                                 const QString &directory = QString()) override;
    QString getSaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                            const QString &directory = QString()) override;
    QString getExistingDirectory(QWidget *parent, const QString &caption,
                                 const QString &directory = QString()) override;
    QString lastDirectory() const;

    // Adds a tool as a new tab that is deleted when it closes, or when the
    // tool deletes itself.
    void openToolWindow(QWidget *tool) override;
    QMdiSubWindow *addSubWindow(QWidget *widget, Qt::WindowFlags flags = Qt::WindowFlags());

    // Appends one line to the output pane (when `show` is set), counting it
    // as unread while the pane is out of sight.
    void output(const QString &text, bool show);

    // Hands a message line to the output pane from any thread: directly on
    // the interface thread, queued from others; to stderr when there is no
    // main window.
    static void postMessage(const QString &line);

    QStringList recentFiles() const { return m_recentFiles; }
    QStringList temporaryFiles() const { return m_temporaryFiles; }
    QStringList arguments() const { return m_arguments; }
    CFileIconCache *iconCache() override { return &m_iconCache; }
    QWidget *mainWindowWidget() override { return this; }

    QMdiArea *mdiArea() const { return m_mdiArea; }
    // The room the window's bars and frames take besides the document area's
    // viewport.
    QSize documentAreaChrome() const;
    QTextEdit *outputPane() const { return m_output; }
    QMdiSubWindow *outputSubWindow() const { return m_outputSubWindow; }
    QMdiSubWindow *splitterSubWindow() const { return m_splitterSubWindow; }
    QToolBar *toolBar() const { return m_toolBar; }
    int unreadCount() const { return m_unreadCount; }

public slots:
    void registerTemporaryFile(const QString &temporaryFile) override;
    void registerRecentFile(const QString &recentFile);

    void showVSplit();
    void showVPackage();
    // This, showVParticle and showVVMT with a path are routes of the command
    // line: true when the file opened (or none was named), false when the
    // tool refused it and its tab went.
    bool showVPackage(const QString &fileToOpen);
    void showVMass();
    void showVParticle();
    bool showVParticle(const QString &fileToOpen);
    void showVParticle(CFilePCF *fileToOpen);
    void showVVBSP();
    void showVVBSP(const QString &fileToOpen);
    void showVVBSP(CFileVBSP *fileToOpen);
    void showVVMT();
    bool showVVMT(const QString &fileToOpen);
    void showVVMT(const QByteArray &data, const QString &name);
    void showVFGD();
    void showVFGD(CFileFGD *fileToOpen);
    void showVVTF();
    void showVVTF(const QString &fileToOpen);
    void showVVTF(CFileVTF *vtf);
    void showVTFMass();
    void showVBSPInfo();
    void showVBSPInfo(const QString &fileToOpen);
    void showVEntity();
    void showVEntity(const QString &fileToOpen);
    void showVPakfile();
    void showVPakfile(const QString &fileToOpen);
    void showOUTPUT();

    // Opens a file named on the command line or forwarded by a later start.
    void processArgument(const QString &message);

    // Reached by name only; no menu entry calls them.
    void showENTSPY();
    void showGCFSCAPE();
    void showPAKRAT();
    void options();
    void TODO();
    void doDummy1();

    void aboutQt();
    void aboutOSTREL();

protected slots:
    void resetMessageCount(Qt::WindowStates oldState, Qt::WindowStates newState);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createToolBar();
    void createDocumentArea();
    void createOutputPane();
    void updateOutputTitle();
    // Brings the output pane up, restored and active.
    void showOutputPane();
    // Names a command-line file that opened nothing in the output pane and
    // brings the pane up.
    void reportRefusal(const QString &text);
    // Opens a command-line file by its route; false when it was refused, with
    // the reader's reason in `reason` for a texture.
    bool openArgument(CStartup::Route route, const QString &path, QString &reason);
    // Adds `tool` as a tab and opens `path` in it with `open`; a tool that
    // refuses the file takes its tab with it (and false is returned).
    bool openFileInToolWindow(QWidget *tool, const QString &path,
                              const std::function<bool(const QString &)> &open);
    // Gives a new tool's sub-window its minimum size, moves it into sight and
    // makes it the active one.
    void placeToolWindow(QMdiSubWindow *subWindow);
    // Moves (and if need be shrinks) a new sub-window into the visible area.
    void keepInsideDocumentArea(QMdiSubWindow *subWindow);
    QAction *addToolAction(QMenu *menu, const QString &text, const QString &icon);

    QStringList m_arguments;
    CFileIconCache m_iconCache;

    QMenu *m_menuFile = nullptr;
    QMenu *m_menuTools = nullptr;
    QMenu *m_menuHelp = nullptr;
    QAction *m_actionExit = nullptr;
    QAction *m_actionVSplit = nullptr;
    QAction *m_actionVPackage = nullptr;
    QAction *m_actionVParticle = nullptr;
    QAction *m_actionVVBSP = nullptr;
    QAction *m_actionVVMT = nullptr;
    QAction *m_actionVMass = nullptr;
    QAction *m_actionVVTF = nullptr;
    QAction *m_actionVTFMass = nullptr;
    QAction *m_actionVBSPInfo = nullptr;
    QAction *m_actionVEntity = nullptr;
    QAction *m_actionVPakfile = nullptr;
    QAction *m_actionOutput = nullptr;
    QAction *m_actionAboutQt = nullptr;
    QAction *m_actionAboutOSTREL = nullptr;
    QToolBar *m_toolBar = nullptr;

    QMdiArea *m_mdiArea = nullptr;
    QPointer<QMdiSubWindow> m_outputSubWindow;
    QTextEdit *m_output = nullptr;
    qint32 m_unreadCount = 0;
    bool m_showingOutputMinimised = false;
    QPointer<QMdiSubWindow> m_splitterSubWindow;

    QStringList m_recentFiles;
    QStringList m_temporaryFiles;
};

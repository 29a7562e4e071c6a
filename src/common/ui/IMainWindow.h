#pragma once

#include <QString>
#include <QStringList>

class CFileIconCache;
class QWidget;

// The services of the main window that tool windows use: the shared file
// dialogs with their remembered directory, a new tab for a tool, the list of
// temporary files deleted at shutdown and the file-type icon cache. Tools
// reach it through instance(), so a tool library links common_ui only, not
// the application's own library, which in turn links every tool.
class IMainWindow
{
public:
    // The process-wide main window, or null before it is built (and in tests
    // that build a tool alone).
    static IMainWindow *instance() { return s_instance; }

    // The main window as a widget, for parenting boxes and for reaching its
    // tool slots by name.
    virtual QWidget *mainWindowWidget() = 0;

    // An empty directory opens the remembered one; a choice remembers the
    // chosen file's directory (the first file's; for a directory, its
    // parent); cancelling gives an empty result and changes nothing.
    virtual QString getOpenFileName(QWidget *parent, const QString &caption, const QString &filter,
                                    const QString &directory = QString()) = 0;
    virtual QStringList getOpenFileNames(QWidget *parent, const QString &caption,
                                         const QString &filter,
                                         const QString &directory = QString()) = 0;
    virtual QString getSaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                                    const QString &directory = QString()) = 0;
    virtual QString getExistingDirectory(QWidget *parent, const QString &caption,
                                         const QString &directory = QString()) = 0;

    // Shows the tool as a new tab, deleted when it closes or deletes itself.
    virtual void openToolWindow(QWidget *tool) = 0;
    // Deleted from disk when the main window closes; an empty path is ignored.
    virtual void registerTemporaryFile(const QString &temporaryFile) = 0;
    virtual CFileIconCache *iconCache() = 0;

protected:
    IMainWindow() = default;
    virtual ~IMainWindow() = default;
    IMainWindow(const IMainWindow &) = delete;
    IMainWindow &operator=(const IMainWindow &) = delete;

    // The main window registers itself when built and withdraws when destroyed.
    static void setInstance(IMainWindow *window) { s_instance = window; }

private:
    // Set and read on the interface thread only.
    static inline IMainWindow *s_instance = nullptr;
};

#pragma once

#include "CPrompt.h"
#include "IMainWindow.h"

#include <QWidget>

// The main window's services as a tool under test sees them: its file
// dialogs go through CPrompt (so a script answers them), a tool it is asked
// to open is deleted at once, and it is the main window while it lives. A
// test derives from it to add the show-slots the tool reaches by name.
class ScriptedMainWindow : public QWidget, public IMainWindow
{
public:
    ScriptedMainWindow() { setInstance(this); }
    ~ScriptedMainWindow() override { setInstance(nullptr); }

    QWidget *mainWindowWidget() override { return this; }
    QString getOpenFileName(QWidget *parent, const QString &caption, const QString &filter,
                            const QString &directory) override
    {
        return CPrompt::getOpenFileName(parent, caption, directory, filter);
    }
    QStringList getOpenFileNames(QWidget *parent, const QString &caption, const QString &filter,
                                 const QString &directory) override
    {
        return CPrompt::getOpenFileNames(parent, caption, directory, filter);
    }
    QString getSaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                            const QString &directory) override
    {
        return CPrompt::getSaveFileName(parent, caption, directory, filter);
    }
    QString getExistingDirectory(QWidget *parent, const QString &caption,
                                 const QString &directory) override
    {
        return CPrompt::getExistingDirectory(parent, caption, directory);
    }
    void openToolWindow(QWidget *tool) override { delete tool; }
    void registerTemporaryFile(const QString &) override {}
    CFileIconCache *iconCache() override { return nullptr; }
};

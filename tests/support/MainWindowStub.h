#pragma once

#include "CPrompt.h"
#include "IMainWindow.h"

#include <QWidget>

// Stands in for the main window in tool tests: the file dialogs go through
// CPrompt (so a scripted handler answers them), a tool window handed over is
// deleted at once, and nothing else happens. A test derives from it to add
// the main window's tool slots its tool calls. Needs common_ui.
class MainWindowStub : public QWidget, public IMainWindow
{
public:
    MainWindowStub() { setInstance(this); }
    ~MainWindowStub() override { setInstance(nullptr); }
    QWidget *mainWindowWidget() override { return this; }
    QString getOpenFileName(QWidget *p, const QString &c, const QString &f,
                            const QString &d) override
    {
        return CPrompt::getOpenFileName(p, c, d, f);
    }
    QStringList getOpenFileNames(QWidget *p, const QString &c, const QString &f,
                                 const QString &d) override
    {
        return CPrompt::getOpenFileNames(p, c, d, f);
    }
    QString getSaveFileName(QWidget *p, const QString &c, const QString &f,
                            const QString &d) override
    {
        return CPrompt::getSaveFileName(p, c, d, f);
    }
    QString getExistingDirectory(QWidget *p, const QString &c, const QString &d) override
    {
        return CPrompt::getExistingDirectory(p, c, d);
    }
    void openToolWindow(QWidget *tool) override { delete tool; }
    void registerTemporaryFile(const QString &) override {}
    CFileIconCache *iconCache() override { return nullptr; }
};

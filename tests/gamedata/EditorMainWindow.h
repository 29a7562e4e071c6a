#pragma once

#include "CFileFGD.h"
#include "CFileVBSP.h"
#include "ScriptedMainWindow.h"

// The main window as the game-data editors reach it: keeps what they hand on.
class EditorMainWindow : public ScriptedMainWindow
{
    Q_OBJECT

public:
    ~EditorMainWindow() override
    {
        qDeleteAll(vbspDocuments);
        qDeleteAll(fgdDocuments);
    }

    QList<CFileVBSP *> vbspDocuments;
    QList<CFileFGD *> fgdDocuments;

public slots:
    void showVVBSP(CFileVBSP *document) { vbspDocuments << document; }
    void showVFGD(CFileFGD *document) { fgdDocuments << document; }
};

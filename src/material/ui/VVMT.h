#pragma once

#include "vmtbytes.h"

#include <QByteArray>
#include <QMainWindow>
#include <QRect>
#include <QString>

#include <functional>

class QAction;
class QListWidget;
class QMenu;
class QModelIndex;
class QSplitter;
class QTabWidget;
class QTextEdit;

// The material script editor: one script in a plain-text editor, with the
// configuration's shaders, parameters and proxies beside it; a click inserts
// one through the material text routines.
//
// A window keeps what it holds for its whole life: opening a file in a window
// that holds a file or any text opens a further window through the main
// window's showVVMT slot.
class VVMT : public QMainWindow
{
    Q_OBJECT

public:
    // The empty path leaves the editor untitled and empty.
    explicit VVMT(const QString &path);
    // Material text from inside a package (up to its first NUL byte), titled
    // with the entry's base name. It has no path: the first save asks for one.
    VVMT(const QByteArray &bytes, const QString &name);
    ~VVMT() override;

    // Loads the path here when the window holds nothing, else in a new window.
    // False only when the file is refused (the reason has been shown).
    bool openFile(const QString &path);

    const QString &path() const { return m_path; }
    const QString &displayName() const { return m_displayName; }
    // The editor's text exactly as it would be saved (before the line ends
    // of a CR LF file are put back).
    QString text() const;

    // The rectangle the tabs of a tab widget cover, starting at the tab bar's
    // position; an invalid rectangle when there are no tabs.
    static QRect tabBarExtent(QTabWidget *tabWidget);

    QMenu *menuFile = nullptr;
    QAction *actionNew = nullptr;
    QAction *actionOpen = nullptr;
    QAction *actionSave = nullptr;
    QAction *actionSaveAs = nullptr;
    QAction *actionExit = nullptr;
    QMenu *menuEdit = nullptr;
    QAction *actionUndo = nullptr;
    QAction *actionRedo = nullptr;
    QAction *actionCut = nullptr;
    QAction *actionCopy = nullptr;
    QAction *actionPaste = nullptr;
    QAction *actionSelectAll = nullptr;
    QSplitter *splitter = nullptr;
    QTabWidget *tabs = nullptr;
    QListWidget *shaderList = nullptr;
    QListWidget *parameterList = nullptr;
    QListWidget *proxyList = nullptr;
    QTextEdit *editor = nullptr;

public slots:
    void vmtNew();
    void vmtOpen();
    virtual void vmtSave();
    void vmtSaveAs();
    void vmtModified();

protected slots:
    void addShader(const QModelIndex &index);
    void addParameter(const QModelIndex &index);
    void addProxy(const QModelIndex &index);

protected:
    void closeEvent(QCloseEvent *event) override;

    // Each true on success; a failure has shown its warning.
    bool readFile();
    bool writeFile();
    bool save();
    bool saveAs();

private:
    void initialize();
    void buildMenus();
    void buildLists();
    QAction *menuAction(QMenu *menu, const QString &label, const char *icon,
                        const std::function<void()> &slot);
    // Shows a script as read, keeping its line ends for the save.
    void setEditorText(const QString &text, const MaterialLineEnds &ends);
    // The editor's text as the file's bytes: as read when unedited, else
    // with the script's most common line end throughout.
    QByteArray scriptBytes() const;
    // Runs a text routine on the editor's text; a change replaces the text
    // as one undoable step.
    void editText(const std::function<void(QString &)> &edit);
    void openElsewhere(const QString &path);
    void warn(const QString &message);

    QString m_displayName;
    QString m_path;
    // The script as read (or last saved) and its line ends.
    QString m_readText;
    MaterialLineEnds m_readEnds;
};

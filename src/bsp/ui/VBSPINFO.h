#pragma once

#include <QString>
#include <QWidget>

class CDelegateBSP;
class QAction;
class QHBoxLayout;
class QMenu;
class QPoint;
class QTableWidget;
class QTableWidgetItem;

// The map information window: the 64-entry lump directory of one map
// (offset, length, version and four-character code, each row named after the
// lump by the map's version). Clicking a row header extracts the lump to disk
// (raw or as a ".lmp" lump file) or replaces it from disk, rewriting the map
// at once. The window keeps only the map's path: every action opens a map
// delegate of its own and lets it go before returning.
class VBSPINFO : public QWidget
{
    Q_OBJECT

public:
    // Fills the table from a map the caller opened and keeps.
    VBSPINFO(CDelegateBSP *delegate, QWidget *parent = nullptr);
    // Opens the map at the path; on failure the window stays, empty and
    // disabled, after a warning.
    VBSPINFO(const QString &path, QWidget *parent = nullptr);
    ~VBSPINFO() override;

    // Room for every column whole and every row.
    QSize sizeHint() const override;

    // False, changing nothing, for a delegate without a file.
    bool loadDelegate(CDelegateBSP *delegate);
    // Opens the map read-only (a write-protected map can still be shown);
    // false for an empty path or a map that does not open.
    bool openFile(const QString &path);

    // Empty until a map was shown.
    const QString &mapPath() const { return m_mapPath; }
    QTableWidget *table() const { return m_table; }
    QMenu *contextMenu() const { return m_contextMenu; }

public slots:
    // Offers the copy menu over the Offset and Length columns only.
    void tableContextMenu(const QPoint &position);
    void tableItemCopy();
    // The section is the lump index.
    void lumpHeaderSectionClicked(int index);

private:
    void initialize();
    QString lumpName(int index) const;
    void warn(const QString &text);
    // The two lump actions (VBSPINFOLumpActions.cpp).
    void extractLump(int index);
    void replaceLump(int index);

    QHBoxLayout *m_layout = nullptr;
    QTableWidget *m_table = nullptr;
    // Without parent: owned here.
    QMenu *m_contextMenu = nullptr;
    QAction *m_copyAction = nullptr;
    QString m_mapPath;
    // The item under the last context-menu request; not owned.
    QTableWidgetItem *m_contextItem = nullptr;
};

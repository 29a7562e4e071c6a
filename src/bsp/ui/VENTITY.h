#pragma once

#include "CEntity.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QVector>

#include <array>

class QAction;
class QCloseEvent;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QIODevice;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSplitter;
class QTableWidget;
class QTableWidgetItem;
class QVBoxLayout;
class VEntityListWidgetItem;

// The entity lump editor: the entities of one map's entity lump in a list on
// the left, the key/value pairs of the selected one in a table on the right.
// Entities come from a map, a lump file (".lmp") or a map source (".vmf",
// ".vmx"); they are added, copied, deleted and edited, narrowed by a text
// filter or a search in a box or a sphere, and written back into the map or
// the lump file, or exported as a lump file or a map source.
//
// The window holds one file for its life: opening another opens a new
// window; imports append. Every map action opens a map delegate of its own
// and lets it go before it returns.
//
// The window lives in four files: this one's .cpp (widgets, menus, closing),
// VENTITYEdit.cpp (entity and key/value edits, labels), VENTITYFilter.cpp
// (filter and searches) and VENTITYFile.cpp (loading, saving, import and
// export).
class VENTITY : public QMainWindow
{
    Q_OBJECT

public:
    // The owner is the main window, whose showVEntity(QString) opens further
    // files; the window opens the path (an empty path opens nothing).
    VENTITY(QWidget *owner, const QString &path);
    ~VENTITY() override;

    QWidget *owner() const { return m_owner; }
    // The file this window holds; empty until one was opened.
    const QString &path() const { return m_path; }
    QListWidget *entityList() const { return m_entityList; }
    QTableWidget *keyvalueTable() const { return m_keyvalueTable; }
    int filterFlags() const { return m_filterFlags; }
    // The record of the list's current row, or null.
    VEntityListWidgetItem *currentEntity() const { return m_currentEntity; }

    // Opens a file into this window when it holds none, else in a new one.
    // False only when the file is refused (the reason has been shown).
    bool openFile(const QString &path);
    // Each appends the entities of a file of its suffix and is false at once,
    // without a message, for another suffix.
    bool loadMap(const QString &path);
    bool loadLump(const QString &path);
    bool loadMapSource(const QString &path);
    bool saveToMap(const QString &path);
    bool saveLump(const QString &path);
    bool exportMapSource(const QString &path);

    // Gives the record a class when it has none (marking the window
    // modified) and sets its label.
    void labelEntity(VEntityListWidgetItem *entity);
    // Keeps only the first world entity and labels every other.
    void normalizeEntities();
    // Appends the entities of the text from the device's position up to
    // `end`, then normalises and clears the filter.
    void parseEntityLump(QIODevice *device, qint64 end);
    // Normalises, then the lump text of every entity, hidden ones included.
    QByteArray buildEntityLump();
    // Adds a pair to the current entity and the table, after the table's
    // current row or at the end.
    void addKeyValue(const QString &key, const QString &value);
    void clearFilter();

public slots:
    void fileOpen();
    // True when the file was written; only then is the modified mark cleared.
    bool fileSave();
    void importFromBSP();
    void importFromLMP();
    void importFromVMF();
    void exportAsLMP();
    void exportAsVMF();
    void findEntitiesInRectangularPrism();
    void findEntitiesInSphere();
    void filterEntities();
    void filterToggleClassname();
    void filterToggleKey();
    void filterToggleValue();
    void filterToggleCaseSensitive();
    void filterToggleSubstring();
    void filterToggleIgnoreHidden();
    void filterToggleInvertResults();
    void entityListRowChanged(int row);
    void entityAdd();
    void entityCopy();
    void entityDelete();
    void keyvalueTableCurrentItemChanged(QTableWidgetItem *current, QTableWidgetItem *previous);
    void keyvalueTableItemDoubleClicked(QTableWidgetItem *item);
    void keyvalueTableItemChanged(QTableWidgetItem *item);
    void keyvalueTableItemSelectionChanged();
    void keyvalueAdd();
    void keyvalueCopy();
    void keyvalueDelete();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenus();
    void createEntityPanel();
    void createKeyvaluePanel();
    QPushButton *addButton(QGridLayout *layout, const QString &text, const QString &name,
                           int column);
    QAction *addAction(QMenu *menu, const QString &text, const QString &icon, const QString &name);
    void warn(const QString &text);
    void openElsewhere(const QString &path);

    VEntityListWidgetItem *entityAt(int row) const;
    // The list's records in row order.
    QVector<const CEntity *> entities() const;
    // Appends parsed entities; a world entity joins only a list without one.
    void appendEntities(QVector<CEntity> entities);
    void insertEntity(int row, VEntityListWidgetItem *entity);
    // Takes the row out and deletes its record.
    void removeEntityRow(int row);
    void insertTableRow(int row, const QString &key, const QString &value);
    void updateFilterTitle();
    void toggleFilter(int flag);
    // Shows the rows `inside` accepts; hidden rows stay so with Ignore Hidden.
    template <typename Inside>
    void searchInSpace(const Inside &inside);
    // After a filter or a search: counts, clears a hidden current row, titles.
    void finishFilter();

    QPointer<QWidget> m_owner;

    QMenu *m_fileMenu = nullptr;
    QAction *m_openAction = nullptr;
    QAction *m_saveAction = nullptr;
    QMenu *m_importMenu = nullptr;
    QAction *m_importBspAction = nullptr;
    QAction *m_importLmpAction = nullptr;
    QAction *m_importVmfAction = nullptr;
    QMenu *m_exportMenu = nullptr;
    QAction *m_exportLmpAction = nullptr;
    QAction *m_exportVmfAction = nullptr;
    QAction *m_closeAction = nullptr;
    QMenu *m_advancedMenu = nullptr;
    QAction *m_boxAction = nullptr;
    QAction *m_sphereAction = nullptr;
    // Without parent: owned here.
    QMenu *m_filterMenu = nullptr;
    // In flag order: Class Name, Key, Value, Case Sensitive, Substring,
    // Ignore Hidden, Invert Results.
    std::array<QAction *, 7> m_filterActions{};

    QSplitter *m_splitter = nullptr;
    QWidget *m_entityPanel = nullptr;
    QVBoxLayout *m_entityLayout = nullptr;
    QListWidget *m_entityList = nullptr;
    QGroupBox *m_filterBox = nullptr;
    QHBoxLayout *m_filterLayout = nullptr;
    QLineEdit *m_filterEdit = nullptr;
    QPushButton *m_filterButton = nullptr;
    QGroupBox *m_entityOptions = nullptr;
    QGridLayout *m_entityOptionsLayout = nullptr;
    QPushButton *m_entityAddButton = nullptr;
    QPushButton *m_entityCopyButton = nullptr;
    QPushButton *m_entityDeleteButton = nullptr;

    QWidget *m_keyvaluePanel = nullptr;
    QVBoxLayout *m_keyvalueLayout = nullptr;
    QTableWidget *m_keyvalueTable = nullptr;
    QGroupBox *m_keyvalueOptions = nullptr;
    QGridLayout *m_keyvalueOptionsLayout = nullptr;
    QPushButton *m_keyvalueAddButton = nullptr;
    QPushButton *m_keyvalueCopyButton = nullptr;
    QPushButton *m_keyvalueDeleteButton = nullptr;

    QString m_path;
    VEntityListWidgetItem *m_currentEntity = nullptr;
    // The table item opened for editing by a double click; only its change
    // is written to the entity.
    QTableWidgetItem *m_editedItem = nullptr;
    int m_filterFlags = 0;
    int m_visibleCount = 0;
};

#pragma once

#include <QMainWindow>
#include <QVector>

class CFileFGD;
class QAction;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;
class QTreeWidget;
class QTreeWidgetItem;
class VFGDCellDelegate;
class VFGDListWidget;
class VFGDTableWidget;
struct FGDChoice;
struct FGDCylinder;
struct FGDEntityClass;
struct FGDInputOutput;
struct FGDKeyvalue;
struct FGDLine;

// The entity definition editor: one ".fgd" document, shown and changed in
// memory (it is never written). The entity table on the left chooses the
// class whose helpers, bases, keyvalues, inputs, outputs, flags, lines and
// cylinders fill the right-hand panel. Row i of every list and table shows
// element i of its document sequence, followed by an add row; every edit goes
// straight into the document.
//
// Cells are remembered by pointer (the current cell of each table, the cell
// under the last context menu); every pointer is forgotten before the rows it
// may name are removed, so an edit never reaches another record.
class VFGD : public QMainWindow
{
    Q_OBJECT

public:
    // Takes the document over (null: an empty window that File > New fills).
    explicit VFGD(CFileFGD *document = nullptr);
    ~VFGD() override;

    CFileFGD *document() const { return m_document; }
    // Shows and keeps the document, only when the window has none yet; the
    // caller keeps a document the window refuses.
    void setDocument(CFileFGD *document);

    // The class whose details are shown, the keyvalue chosen in its table and
    // the choice chosen in that keyvalue's table; null when there is none.
    FGDEntityClass *shownClass() const;
    FGDKeyvalue *selectedKeyvalue() const;
    FGDChoice *selectedKeyvalueChoice() const;

public slots:
    void fgdNew();
    void fgdOpen();
    void fgdSave();
    void fgdSaveAs();
    void fgdSaveCopyAs();
    void fgdImport();
    void fgdExport();
    void fgdReloadIncludes();

    // Entities and the document-wide lists.
    void fgdEntityItemChanged(QTableWidgetItem *cell);
    void fgdEntityItemClicked(QTableWidgetItem *cell);
    void fgdEntityItemDoubleClicked(QTableWidgetItem *cell);
    void fgdEntityItemEntered(QTableWidgetItem *cell);
    void fgdEntityContextMenuRequested(const QPoint &point);
    void fgdEntityUpArrowPressed();
    void fgdEntityDownArrowPressed();
    void fgdEntityTypeChanged();
    void fgdAddEntity();
    void fgdIncludeItemChanged(QListWidgetItem *item);
    void fgdIncludeContextMenuRequested(const QPoint &point);
    void fgdIncludeUpArrowPressed();
    void fgdIncludeDownArrowPressed();
    void fgdAddInclude();
    void fgdMaterialExcludeItemChanged(QListWidgetItem *item);
    void fgdMaterialExcludesContextMenuRequested(const QPoint &point);
    void fgdMaterialExcludesUpArrowPressed();
    void fgdMaterialExcludesDownArrowPressed();
    void fgdAddMaterialExclude();
    void fgdVisgroupItemChanged(QTreeWidgetItem *item, int column);
    void fgdVisgroupContextMenuRequested(const QPoint &point);

    // The shown class's helpers and bases.
    void fgdDescriptionChanged();
    void fgdIconspriteChanged();
    void fgdStudioCheckStateChanged(int state);
    void fgdStudioChanged();
    void fgdStudioPropChanged();
    void fgdColorCheckStateChanged(int state);
    void fgdColorButtonClicked();
    void fgdSizeChanged();
    void fgdBaseItemChanged(QListWidgetItem *item);
    void fgdBaseContextMenuRequested(const QPoint &point);
    void fgdAddBase();

    // The detail tables.
    void fgdKeyvalueItemChanged(QTableWidgetItem *cell);
    void fgdKeyvalueItemClicked(QTableWidgetItem *cell);
    void fgdKeyvalueItemDoubleClicked(QTableWidgetItem *cell);
    void fgdKeyvalueContextMenuRequested(const QPoint &point);
    void fgdAddKeyvalue();
    void fgdInputItemChanged(QTableWidgetItem *cell);
    void fgdInputItemClicked(QTableWidgetItem *cell);
    void fgdInputItemDoubleClicked(QTableWidgetItem *cell);
    void fgdInputContextMenuRequested(const QPoint &point);
    void fgdAddInput();
    void fgdOutputItemChanged(QTableWidgetItem *cell);
    void fgdOutputItemClicked(QTableWidgetItem *cell);
    void fgdOutputItemDoubleClicked(QTableWidgetItem *cell);
    void fgdOutputContextMenuRequested(const QPoint &point);
    void fgdAddOutput();
    void fgdChoicesItemChanged(QTableWidgetItem *cell);
    void fgdChoicesItemClicked(QTableWidgetItem *cell);
    void fgdChoicesItemDoubleClicked(QTableWidgetItem *cell);
    void fgdChoicesContextMenuRequested(const QPoint &point);
    void fgdAddChoices();
    void fgdFlagItemChanged(QTableWidgetItem *cell);
    void fgdFlagItemClicked(QTableWidgetItem *cell);
    void fgdFlagItemDoubleClicked(QTableWidgetItem *cell);
    void fgdFlagToggled();
    void fgdLineItemChanged(QTableWidgetItem *cell);
    void fgdLineItemClicked(QTableWidgetItem *cell);
    void fgdLineItemDoubleClicked(QTableWidgetItem *cell);
    void fgdLineContextMenuRequested(const QPoint &point);
    void fgdAddLine();
    void fgdCylinderItemChanged(QTableWidgetItem *cell);
    void fgdCylinderItemClicked(QTableWidgetItem *cell);
    void fgdCylinderItemDoubleClicked(QTableWidgetItem *cell);
    void fgdCylinderContextMenuRequested(const QPoint &point);
    void fgdAddCylinder();

    // Menus.
    void fgdParameterTypeChanged();
    void fgdContextDeleteList();
    void fgdContextDeleteTable();
    void fgdContextDeleteTree();
    void fgdContextReadonly();
    void fgdContextSphere();

private:
    // The tables, as indexes into the per-table arrays below.
    enum Table
    {
        EntityTable,
        KeyvalueTable,
        InputTable,
        OutputTable,
        ChoiceTable,
        FlagTable,
        LineTable,
        CylinderTable,
        TableCount
    };

    // Construction (VFGDLayout.cpp).
    void buildMenus();
    void buildPopupMenus();
    void buildTables();
    QWidget *buildLeftSide();
    QWidget *buildRightPanel();
    void connectSignals();

    // Display (VFGDDisplay.cpp).
    void showEntity();
    void markShownEntity();
    void showSize();
    void showChoices();
    void showKeyvalueIcon(QTableWidgetItem *cell);
    void setColorButton(const QColor &color);
    void refillTable(Table table);
    void fillRow(Table table, int row);
    void setRowTexts(Table table, int row, const QStringList &texts);
    void fillEntityRow(int row, const FGDEntityClass &entityClass);
    void fillKeyvalueRow(int row, const FGDKeyvalue &keyvalue);
    void fillInputRow(int row, const FGDInputOutput &input);
    void fillOutputRow(int row, const FGDInputOutput &output);
    void fillChoiceRow(int row, const FGDChoice &choice);
    void fillLineRow(int row, const FGDLine &line);
    void fillCylinderRow(int row, const FGDCylinder &cylinder);
    void appendAddRow(Table table);
    void appendListAddRow(QListWidget *list);
    void appendListEntry(QListWidget *list, const QString &text);
    // Forgets the cells of the tables showEntity() and showChoices() empty.
    void forgetDetailCells();
    void forgetChoiceCells();

    // Editing helpers (VFGDEntityEdits.cpp, VFGDDetailEdits.cpp).
    Table tableOf(const QTableWidgetItem *cell) const;
    static bool hasTypeColumn(Table table);
    int elementCount(Table table) const;
    void removeElement(Table table, int row);
    QByteArray *textField(Table table, int row, int column) const;
    QColor *colorField(Table table, int row) const;
    void cellClicked(Table table, QTableWidgetItem *cell);
    void cellDoubleClicked(Table table, QTableWidgetItem *cell);
    void cellChanged(Table table, QTableWidgetItem *cell);
    // Remembers the cell under the point and shows the menu where the table
    // allows it.
    void tableContextMenu(Table table, const QPoint &point, QMenu *menu);
    void popupTypeMenu(Table table);
    void rowAppended(Table table);
    void listEntryAppended(QListWidget *list);
    void listContextMenu(QListWidget *list, const QPoint &point);
    // Stores an edited entry (never the add item) in its sequence.
    void storeListEntry(QListWidgetItem *item);
    void moveEntity(int step);
    void toggleKeyvalueFlag(bool FGDKeyvalue::*flag);
    void storeField(QLineEdit *edit, QByteArray FGDEntityClass::*field);
    void setHelperFlag(quint32 flag, bool on);

    CFileFGD *m_document = nullptr;

    QAction *m_actionNew = nullptr;
    QAction *m_actionOpen = nullptr;
    QAction *m_actionSave = nullptr;
    QAction *m_actionSaveAs = nullptr;
    QAction *m_actionSaveCopyAs = nullptr;
    QAction *m_actionImport = nullptr;
    QAction *m_actionExport = nullptr;
    QAction *m_actionExit = nullptr;
    QAction *m_actionReloadIncludes = nullptr;

    QMenu *m_listContextMenu = nullptr;
    QMenu *m_entityTypeMenu = nullptr;
    QMenu *m_parameterTypeMenu = nullptr;
    QMenu *m_keyvalueContextMenu = nullptr;
    QMenu *m_tableContextMenu = nullptr;
    QMenu *m_treeContextMenu = nullptr;
    QVector<QAction *> m_entityTypeActions;    // index = class type
    QVector<QAction *> m_parameterTypeActions; // index = parameter type

    QSplitter *m_mainSplitter = nullptr;
    QTabWidget *m_mainTabs = nullptr;
    VFGDTableWidget *m_entityTable = nullptr;
    QSplitter *m_propertiesSplitter = nullptr;
    VFGDListWidget *m_includeList = nullptr;
    VFGDListWidget *m_materialExcludeList = nullptr;
    QTreeWidget *m_visgroupTree = nullptr;

    QWidget *m_rightPanel = nullptr;
    QTabWidget *m_propertyTabs = nullptr;
    QLineEdit *m_descriptionEdit = nullptr;
    QLineEdit *m_iconSpriteEdit = nullptr;
    QCheckBox *m_studioCheck = nullptr;
    QLineEdit *m_studioEdit = nullptr;
    QLineEdit *m_studioPropEdit = nullptr;
    QCheckBox *m_colorCheck = nullptr;
    QPushButton *m_colorButton = nullptr;
    QLineEdit *m_sizeEdit = nullptr;
    QSplitter *m_lowerSplitter = nullptr;
    VFGDListWidget *m_baseList = nullptr;
    QWidget *m_detailWidget = nullptr;
    QTabWidget *m_detailTabs = nullptr;
    QTableWidget *m_keyvalueTable = nullptr;
    QTableWidget *m_inputTable = nullptr;
    QTableWidget *m_outputTable = nullptr;
    QTableWidget *m_flagTable = nullptr;
    QTableWidget *m_lineTable = nullptr;
    QTableWidget *m_cylinderTable = nullptr;
    QTableWidget *m_choiceTable = nullptr;
    QVector<QCheckBox *> m_flagChecks; // row order

    // Per table: the widget and the cell the user last chose in it.
    QTableWidget *m_tables[TableCount] = {};
    QTableWidgetItem *m_current[TableCount] = {};
    // Shared by every table: tells the cell an editor writes back.
    VFGDCellDelegate *m_cellDelegate = nullptr;

    QListWidgetItem *m_contextListItem = nullptr;
    QTableWidgetItem *m_contextCell = nullptr;
    QTreeWidgetItem *m_contextTreeItem = nullptr;
};

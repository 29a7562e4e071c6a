#pragma once

#include "PCFConversionLoss.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

class CFilePCF;
class DMXAttribute;
class DMXElement;
class PCFDelegate;
class QAction;
class QListDialog;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
class VParticleAddAttributeDialog;
class VParticleTreeRows;
class VParticleTreeWidgetItem;

// The particle editor: one particle document shown as its element tree, with
// values edited in place, structural edits from the context menu, conversion
// between the three encodings, and saving.
//
// The main window is kept only to open further documents in new editors
// (through its showVParticle slots); a window never swaps its document.
class VParticle : public QMainWindow
{
    Q_OBJECT

public:
    explicit VParticle(QWidget *mainWindow);
    VParticle(QWidget *mainWindow, const QString &path);
    VParticle(QWidget *mainWindow, CFilePCF *document);
    ~VParticle() override;

    // Room for the three columns at their starting widths, so a new editor
    // opens with its values in sight.
    QSize sizeHint() const override;

    // Opens here when the window holds nothing, else in a new editor. False
    // only when the file is refused (the reason has been shown).
    bool openFile(const QString &path);
    // Takes the document over; a window that has one hands it to a new editor.
    void setDocument(CFilePCF *newDocument);
    void refreshDocumentState();
    void fillTree();
    VParticleTreeWidgetItem *addAttributeRow(QTreeWidgetItem *parent, DMXAttribute *attribute,
                                             bool ownsAttribute);
    void addArrayItemRows(VParticleTreeWidgetItem *row, DMXAttribute *array);
    void convertFormat(int formatCode);
    // Copies systems of the source, with the systems they name as children,
    // into the target (Import); false after a warning.
    bool mergeSystems(CFilePCF *source, const QList<DMXElement *> &systems, CFilePCF *target,
                      bool preserveGuids);
    // The batch tools over many files: 0 GUID uniqueness, 1 mass format.
    void runBatchOperation(int mode);

    // The row the context operations act on, as opening the menu there sets
    // it, and the menu entries offered for it (the menu is not shown).
    void prepareContextMenu(VParticleTreeWidgetItem *row);
    QMenu *contextMenu() const { return m_contextMenu; }
    VParticleTreeRows *rows() const { return m_rows; }
    // The template document of a format code from the configuration, or null.
    static const CFilePCF *templateDocument(int formatCode);

    QPointer<QWidget> mainWindow;
    QString documentPath;
    CFilePCF *document = nullptr;
    PCFDelegate *delegate = nullptr;
    QTreeWidget *tree = nullptr;
    VParticleTreeWidgetItem *contextItem = nullptr;
    VParticleTreeWidgetItem *contextParent = nullptr;
    VParticleAddAttributeDialog *addAttributeDialog = nullptr;
    QListDialog *listDialog = nullptr;

    QMenu *menuFile = nullptr;
    QMenu *menuTools = nullptr;
    QMenu *menuGuid = nullptr;
    QMenu *menuFormat = nullptr;
    QAction *actionNew = nullptr;
    QAction *actionOpen = nullptr;
    QAction *actionSave = nullptr;
    QAction *actionSaveAs = nullptr;
    QAction *actionSaveCopyAs = nullptr;
    QAction *actionImport = nullptr;
    QAction *actionExport = nullptr;
    QAction *actionExit = nullptr;
    QAction *actionGuidSingle = nullptr;
    QAction *actionGuidMultiple = nullptr;
    QAction *actionFindSystem = nullptr;
    QAction *actionMapManifest = nullptr;
    QAction *actionMassFormat = nullptr;
    QAction *actionStringDictionary = nullptr;
    QAction *actionReplotTree = nullptr;
    QAction *actionFormat[3] = {nullptr, nullptr, nullptr};
    QAction *contextAddAttributeAction = nullptr;
    QAction *contextRenameAttributeAction = nullptr;
    QAction *contextFromArrayAction = nullptr;
    QAction *contextToArrayAction = nullptr;
    QAction *contextScrambleGUIDAction = nullptr;
    QAction *contextDeleteAction = nullptr;

protected slots:
    void particleNew();
    void particleOpen();
    void particleSave();
    void particleSaveAs();
    void particleSaveCopyAs();
    void particleImport();
    void particleExport();
    void particleEnsureUniqueGUIDsingle();
    void particleEnsureUniqueGUIDmultiple();
    void particleFindSystem();
    void particleGenerateMapManifest();
    void particleMassFormat();
    void particleShowStringDictionary();
    void replotTree();
    void formatOrangeBox();
    void formatL4D();
    void formatL4D2();
    void itemClicked(QTreeWidgetItem *item, int column);
    void currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void itemChanged(QTreeWidgetItem *item, int column);
    void showContextMenu(const QPoint &point);
    void contextAddAttribute();
    void contextRenameAttribute();
    void contextFromArray();
    void contextToArray();
    void contextScrambleGUID();
    void contextDelete();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    void buildMenus();
    void buildContextMenu();
    QAction *menuAction(QMenu *menu, const QString &text, const QString &icon,
                        void (VParticle::*slot)());
    // Writes the document to documentPath; false (with a warning) on failure.
    bool saveDocument();
    // Save As: false when cancelled or the write failed.
    bool saveDocumentAs();
    QString displayName() const;
    void showFormatTicks();
    void warn(const QString &text);
    // Writes what a conversion dropped to the output pane, one line per
    // system; `subject` names the document.
    static void reportLosses(const PCFConversionReport &report, const QString &subject);
    // Hands a path or a document to a new editor through the main window.
    void openElsewhere(const QString &path);
    void openElsewhere(CFilePCF *otherDocument);

    // Context operations by case (VParticleEditing.cpp).
    void addToElement(VParticleTreeWidgetItem *row);
    void addParticleSystem(DMXAttribute *systems);
    void addFunctionElement(VParticleTreeWidgetItem *row);
    void addChildSystem(VParticleTreeWidgetItem *row);
    // The element picked by name from the list dialog; null when cancelled.
    DMXElement *chooseElement(const QList<DMXElement *> &choices, const QString &title);
    void addArrayItem(DMXAttribute *array);
    void showNewElement(DMXAttribute *list, DMXElement *element);
    void deleteElements(const QList<DMXElement *> &elements);
    void deleteArrayItem(VParticleTreeWidgetItem *row);
    void deleteNullItem(VParticleTreeWidgetItem *row);
    void deleteAttribute(VParticleTreeWidgetItem *row);
    bool rowOffersRename(const VParticleTreeWidgetItem *row) const;
    bool rowOffersToArray(const VParticleTreeWidgetItem *row) const;

    QMenu *m_contextMenu = nullptr;
    VParticleTreeRows *m_rows = nullptr;
};

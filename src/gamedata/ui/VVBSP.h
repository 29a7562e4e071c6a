#pragma once

#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <string>

class CDetailGroup;
class CDetailProp;
class CDetailType;
class CFileVBSP;
class QAction;
class QLineEdit;
class QMenu;
class QTreeWidgetItem;
class VVBSPPanels;
class VVBSPTreeWidget;
class VVBSPTreeWidgetItem;

// The detail-prop editor: one ".vbsp" document shown as a tree of types,
// groups and props, with the current record's values in option panels on
// the right and below. A window keeps its first document for good: New and
// Open in a window that has one open further windows through the main window.
class VVBSP : public QMainWindow
{
    Q_OBJECT

public:
    VVBSP();
    explicit VVBSP(const QString &path);
    // Takes the document over.
    explicit VVBSP(CFileVBSP *document);
    ~VVBSP() override;

    CFileVBSP *document() const { return m_document; }
    // The document's file, empty without one or for a new document.
    QString path() const;
    int32_t textureSize() const { return m_textureSize; }
    VVBSPTreeWidget *tree() const { return m_tree; }
    VVBSPPanels *panels() const { return m_panels; }
    QMenu *contextMenu() const { return m_contextMenu; }

    // Opens here when the window holds nothing, else in a new editor. False
    // only when the file is refused (the reason has been shown).
    bool openFile(const QString &path);
    void refreshTree();
    void refreshShapeSupport();
    VVBSPTreeWidgetItem *addTypeItem(CDetailType *type);
    VVBSPTreeWidgetItem *addGroupItem(CDetailGroup *group, QTreeWidgetItem *parent);
    VVBSPTreeWidgetItem *addPropItem(CDetailProp *prop, QTreeWidgetItem *parent);
    void refreshTypePanel();
    void refreshGroupPanel();
    void refreshPropPanel();
    // Fills the context menu for the item (none: empty space) without showing it.
    void prepareContextMenu(VVBSPTreeWidgetItem *item);

public slots:
    void fileNew();
    void fileOpen();
    void fileSave();
    void fileSaveAs();
    void fileSaveCopyAs();
    void setTextureDimension();
    void toggleDetailShapeSupport();
    void lineEditEdited(const QString &text);

    void currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void detailtypeDensityEditEdited();
    void detailgroupAlphaEditEdited();
    void detailpropEdit_amountEdited();
    void detailpropEdit_spriterandomscaleEdited();
    void detailpropEdit_minangleEdited();
    void detailpropEdit_maxangleEdited();
    void detailpropCombo_detailOrientationChanged(int index);
    void detailpropCheck_UprightClicked(bool checked);
    void detailpropEdit_modelEdited();
    void detailpropEdit_modelChanged(const QString &text);
    void detailpropEdit_xOriginEdited();
    void detailpropEdit_yOriginEdited();
    void detailpropEdit_xWidthEdited();
    void detailpropEdit_yHeightEdited();
    void detailpropEdit_uOriginEdited();
    void detailpropEdit_vOriginEdited();
    void detailpropEdit_uWidthEdited();
    void detailpropEdit_vHeightEdited();
    void detailpropCombo_sprite_shapeChanged(int index);
    void detailpropEdit_swayEdited();
    void detailpropEdit_shape_angleEdited();
    void detailpropEdit_shape_sizeEdited();

    void moveItemUp(VVBSPTreeWidgetItem *item);
    void moveItemDown(VVBSPTreeWidgetItem *item);
    void itemDoubleClicked(QTreeWidgetItem *item, int column);
    void showContextMenu(const QPoint &point);
    void contextAddType();
    void contextAddGroup();
    void contextAddProp();
    void contextCopy();
    void contextPaste();
    void contextDelete();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void initialize();
    void buildMenus();
    void buildContextActions();
    void connectPanels();
    void setDocument(CFileVBSP *document);
    bool save();
    bool writeTo(const QString &path);
    QString askSavePath();
    void warn(const QString &text);
    void updateTitle();
    void openElsewhere(const QString &path);
    void openElsewhere(CFileVBSP *document);

    // Panel edits: the field's value, brought into [low, high], stored and
    // shown again in its display form.
    void storeReal(QLineEdit *edit, float *field, double low, double high);
    void storeInteger(QLineEdit *edit, int32_t *field, int32_t low, int32_t high);
    float *propReal(float CDetailProp::*field) const;
    int32_t *propInteger(int32_t CDetailProp::*field) const;

    void moveItem(VVBSPTreeWidgetItem *item, int step);
    void clearClipboard();
    // Drops the current records that lie in the item's subtree before it is
    // freed, so no panel keeps pointing at them.
    void forgetCurrent(VVBSPTreeWidgetItem *item);
    bool askName(const QString &title, const QString &label, const QString &initial,
                 std::string &name);

    CFileVBSP *m_document = nullptr;
    int32_t m_textureSize = -1;
    VVBSPTreeWidgetItem *m_currentItem = nullptr;
    VVBSPTreeWidgetItem *m_contextItem = nullptr;
    CDetailType *m_currentType = nullptr;
    CDetailType *m_copiedType = nullptr;
    CDetailGroup *m_currentGroup = nullptr;
    CDetailGroup *m_copiedGroup = nullptr;
    CDetailProp *m_currentProp = nullptr;
    CDetailProp *m_copiedProp = nullptr;

    VVBSPTreeWidget *m_tree = nullptr;
    VVBSPPanels *m_panels = nullptr;
    QMenu *m_contextMenu = nullptr;

    QAction *m_actionNew = nullptr;
    QAction *m_actionOpen = nullptr;
    QAction *m_actionSave = nullptr;
    QAction *m_actionSaveAs = nullptr;
    QAction *m_actionSaveCopyAs = nullptr;
    QAction *m_actionClose = nullptr;
    QAction *m_actionTextureDimension = nullptr;
    QAction *m_actionShapeSupport = nullptr;
    QAction *m_actionAddType = nullptr;
    QAction *m_actionAddGroup = nullptr;
    QAction *m_actionAddProp = nullptr;
    QAction *m_actionCopy = nullptr;
    QAction *m_actionPaste = nullptr;
    QAction *m_actionDelete = nullptr;
};

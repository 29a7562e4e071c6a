#pragma once

#include <QHash>
#include <QStackedWidget>
#include <QString>
#include <QVector>

class CDelegateBSP;
class CPackageHierarchyNode;
class QCheckBox;
class QDialog;
class QDialogButtonBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QMessageBox;
class QProgressDialogger;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QVBoxLayout;
class VPakfileTableWidgetItem;

// The "Pakfile Lump Editor": the pakfile of one map (the zip archive in lump
// 40) as a table of entries whose row colours carry their state. Every edit
// is staged on the nodes of the window's map delegate; only "Save" of "BSP
// Options" writes the map, through the delegate's flush. Page 0 is the
// pakfile page, page 1 the scan page that looks for the assets a map needs.
class VPakfile : public QStackedWidget
{
    Q_OBJECT

public:
    VPakfile();
    ~VPakfile() override;

    // Opens a map read-write. With changes in the table, asks first whether
    // to discard them; false when refused, cancelled or the map does not open.
    bool open(const QString &path);
    // Closes the map and returns to the empty state.
    void clear();
    // Fills a pakfile table row from a node; nothing for a null node or a row
    // outside the table.
    void updatePakfileRow(CPackageHierarchyNode *node, int row);

    CDelegateBSP *delegate() const { return m_delegate; }
    // The staged pakfile changes (rows not stored and unchanged, or a comment
    // replaced through "Status") that a save has not written yet.
    bool hasChanges() const;

public slots:
    void disable();
    void pakfileTableHeaderClicked(int column);
    void scanTableHeaderClicked(int column);
    void tableSelectionChanged();
    void fileOpen();
    void fileSave();
    void pakFileRevert();
    void pakFileSave();
    void pakFileDeleteToggle();
    void pakAdd();
    void pakExtract();
    void pakInfo();
    void pakScan();
    void pakScanBrowse();
    void pakScanOptions();
    void pakScanScan();
    void pakScanApply();
    void pakScanCancel();
    void pakScanAdd();
    void pakScanAddMissing();
    void pakScanRemove();

protected:
    void closeEvent(QCloseEvent *event) override;
    // The delegate a map is opened with (a test seam).
    virtual CDelegateBSP *createDelegate();

private:
    void buildPakfilePage();
    void buildScanPage();
    QTableWidget *buildTable(QWidget *parent, int sizeColumnWidth);
    QPushButton *addButton(QHBoxLayout *layout, const QString &text, const char *name);
    // Deletes the delegate and empties the pakfile table.
    void dropMap();
    // One row per pakfile file of the delegate, in pakfile order.
    void fillPakfileTable();
    // Sizes the pakfile table's columns to their texts, as far as the window
    // has room.
    void fitPakfileColumns();
    // True when there is nothing to lose or the user chose to discard it.
    bool confirmDiscard();
    void sortTable(QTableWidget *table, int column, quint8 &sortColumn, Qt::SortOrder &sortOrder);
    // The rows of the pakfile table by the entry they show. Rows are looked
    // up by entry or by index, never by item: after a sort the table finds an
    // item's row only by searching.
    QHash<const CPackageHierarchyNode *, int> rowsByNode() const;
    VPakfileTableWidgetItem *nameItem(int row) const;
    // Rows whose Name cell is selected, top to bottom.
    QList<int> selectedRows() const;
    // The progress dialog of the long commands: Cancel hidden, window-modal,
    // dismissing it only disables the window; centred and shown.
    void showProgress(QProgressDialogger &progress);
    // New rows at the end of the pakfile table for the nodes, one progress
    // step each.
    void appendPakfileRows(const QVector<CPackageHierarchyNode *> &nodes,
                           QProgressDialogger &progress);
    // The scan table's rows, one per found path, row r from paths[r].
    void fillScanTable(const QStringList &paths, QProgressDialogger &progress);
    void buildScanOptionsDialog();
    // Marks (or unmarks) the scan rows of the given Name items whose files
    // exist, inside the busy dialog; with skipStored, rows whose file the
    // map already holds stay as they are.
    void markScanItems(const QList<QTableWidgetItem *> &items, bool mark, bool skipStored);
    // Stages one marked scan row as a pakfile entry that references its file.
    CPackageHierarchyNode *stageScanRow(int row, QProgressDialogger &progress);
    bool runAddQuestions(const QStringList &files, QStringList &targets);
    // The question box one run of "Add" or of "Save" of "File Options" asks
    // each of its questions with: Yes, Yes to All, No, No to All.
    void setUpRunQuestion(QMessageBox &box);

    // Pakfile page.
    QWidget *m_pakfilePage = nullptr;
    QVBoxLayout *m_pakfileLayout = nullptr;
    QWidget *m_pakfileOptions = nullptr;
    QGridLayout *m_pakfileOptionsLayout = nullptr;
    QGroupBox *m_bspGroup = nullptr;
    QHBoxLayout *m_bspLayout = nullptr;
    QPushButton *m_bspOpen = nullptr;
    QPushButton *m_bspSave = nullptr;
    QGroupBox *m_fileGroup = nullptr;
    QHBoxLayout *m_fileLayout = nullptr;
    QPushButton *m_fileRevert = nullptr;
    QPushButton *m_fileSave = nullptr;
    QPushButton *m_fileDeleteToggle = nullptr;
    QGroupBox *m_pakGroup = nullptr;
    QHBoxLayout *m_pakLayout = nullptr;
    QPushButton *m_pakAdd = nullptr;
    QPushButton *m_pakScan = nullptr;
    QPushButton *m_pakExtract = nullptr;
    QPushButton *m_pakInfo = nullptr;
    QTableWidget *m_pakfileTable = nullptr;

    // Scan page.
    QWidget *m_scanPage = nullptr;
    QVBoxLayout *m_scanLayout = nullptr;
    QWidget *m_scanOptions = nullptr;
    QHBoxLayout *m_scanOptionsLayout = nullptr;
    QGroupBox *m_scanDirectoryGroup = nullptr;
    QHBoxLayout *m_scanDirectoryLayout = nullptr;
    QLineEdit *m_scanDirectory = nullptr;
    QPushButton *m_scanBrowse = nullptr;
    QPushButton *m_scanOptionsButton = nullptr;
    QPushButton *m_scanScan = nullptr;
    QPushButton *m_scanApply = nullptr;
    QPushButton *m_scanCancel = nullptr;
    QGroupBox *m_scanFileGroup = nullptr;
    QHBoxLayout *m_scanFileLayout = nullptr;
    QPushButton *m_scanAdd = nullptr;
    QPushButton *m_scanAuto = nullptr;
    QPushButton *m_scanRemove = nullptr;
    QTableWidget *m_scanTable = nullptr;
    // Built on first use by the scan options.
    QDialog *m_scanOptionsDialog = nullptr;
    QVector<QCheckBox *> m_scanOptionBoxes;
    QDialogButtonBox *m_scanOptionButtons = nullptr;

    CDelegateBSP *m_delegate = nullptr;
    // The game folder of the last scan, ending in "/"; scan rows point at it.
    QString m_scanBaseDirectory;
    quint8 m_pakfileSortColumn = 0;
    Qt::SortOrder m_pakfileSortOrder = Qt::DescendingOrder;
    quint8 m_scanSortColumn = 0;
    Qt::SortOrder m_scanSortOrder = Qt::DescendingOrder;
    quint16 m_scanOptionsMask = 0x1FF9;
    // The comment was replaced through "Status" since the map was opened or
    // saved.
    bool m_commentChanged = false;
};

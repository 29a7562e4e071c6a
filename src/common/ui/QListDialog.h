#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QList>
#include <QStringList>

class QListWidget;
class QListWidgetItem;
class QVBoxLayout;

// A modal list of texts to pick one or several from. Without a parent it is
// titled "Select Item(s)"; with one it takes the parent's title. A double
// click picks an item only when the buttons include both Ok and Cancel. A
// rejected dialog reports no selection.
class QListDialog : public QDialog
{
    Q_OBJECT

public:
    QListDialog(QWidget *parent, QDialogButtonBox::StandardButtons buttons);

    // Replaces the items and clears the selection; a row other than -1 becomes
    // current (and so selected in single-selection mode).
    void setItems(const QStringList &items, int row = -1);
    // A QAbstractItemView::SelectionMode value.
    void setSelectionMode(int mode);

    // First selected row, or -1.
    int selectedRow() const;
    // All selected rows, in the order of the list's selection.
    QList<int> selectedRows() const;

    // With `requireSelection`, an accepted dialog without a selection counts
    // as not accepted.
    bool requireSelection = true;

    QVBoxLayout *mainLayout = nullptr;
    QListWidget *list = nullptr;
    QDialogButtonBox *buttons = nullptr;

public slots:
    // Centres the dialog on its parent, runs it modally (through CPrompt) and
    // returns 1 for an accepted choice, 0 otherwise.
    virtual int execute();

protected slots:
    void itemDoubleClicked(QListWidgetItem *item);
};

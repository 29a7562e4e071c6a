#include "QListDialog.h"

#include "CPrompt.h"
#include "uifunctions.h"

#include <QListWidget>
#include <QVBoxLayout>

QListDialog::QListDialog(QWidget *parent, QDialogButtonBox::StandardButtons standardButtons)
    : QDialog(parent)
{
    list = new QListWidget(this);
    list->setMinimumSize(250, 300);
    list->setMovement(QListView::Static);
    list->setUniformItemSizes(true);
    list->setWordWrap(false);
    list->setWrapping(false);
    list->setTextElideMode(Qt::ElideRight);
    // Without this the view scrolls sideways and nothing is ever elided.
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setSelectionMode(QAbstractItemView::SingleSelection);

    const QDialogButtonBox::StandardButtons okCancel =
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel;
    if ((standardButtons & okCancel) == okCancel)
        connect(list, &QListWidget::itemDoubleClicked, this, &QListDialog::itemDoubleClicked);

    buttons = new QDialogButtonBox(standardButtons, Qt::Horizontal, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(this, &QDialog::rejected, list, &QListWidget::clearSelection);

    mainLayout = new QVBoxLayout(this);
    mainLayout->setContentsMargins(3, 3, 3, 3);
    mainLayout->addWidget(list);
    mainLayout->addWidget(buttons, 0, Qt::AlignRight);

    setWindowTitle(parent ? parent->windowTitle() : tr("Select Item(s)"));
}

void QListDialog::setItems(const QStringList &items, int row)
{
    list->clear();
    list->addItems(items);
    list->clearSelection();
    if (row != -1)
        list->setCurrentRow(row);
}

void QListDialog::setSelectionMode(int mode)
{
    list->setSelectionMode(static_cast<QAbstractItemView::SelectionMode>(mode));
}

int QListDialog::selectedRow() const
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

QList<int> QListDialog::selectedRows() const
{
    QList<int> rows;
    const QList<QListWidgetItem *> selected = list->selectedItems();
    for (QListWidgetItem *item : selected)
        rows << list->row(item);
    return rows;
}

int QListDialog::execute()
{
    centerWidget(this, parentWidget());
    const int result = CPrompt::exec(this);
    if (requireSelection && result == QDialog::Accepted)
        return list->selectedItems().isEmpty() ? 0 : 1;
    return result;
}

void QListDialog::itemDoubleClicked(QListWidgetItem *item)
{
    if (!item)
        return;
    list->clearSelection();
    item->setSelected(true);
    accept();
}

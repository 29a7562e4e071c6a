#include "QFileListDialog.h"

#include "CPrompt.h"
#include "uifunctions.h"

#include <QListWidget>
#include <QPushButton>

QFileListDialog::QFileListDialog(const QString &fileFilter, QWidget *parent)
    : QListDialog(parent, QDialogButtonBox::Ok | QDialogButtonBox::Cancel)
    , filter(fileFilter)
{
    buttonBrowse = buttons->addButton(tr("Browse..."), QDialogButtonBox::ActionRole);
    buttonRemove = buttons->addButton(tr("Remove"), QDialogButtonBox::ActionRole);
    connect(buttonBrowse, &QPushButton::clicked, this, &QFileListDialog::addFiles);
    connect(buttonRemove, &QPushButton::clicked, this, &QFileListDialog::removeFiles);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    setMinimumWidth(500);
}

QStringList QFileListDialog::files() const
{
    QStringList paths;
    for (int i = 0; i < list->count(); ++i)
        paths << list->item(i)->text();
    return paths;
}

int QFileListDialog::execute()
{
    centerWidget(this, parentWidget());
    const int result = CPrompt::exec(this);
    if (requireSelection && result == QDialog::Accepted)
        return list->count() > 0 ? 1 : 0;
    return result;
}

void QFileListDialog::addFiles()
{
    // An empty directory opens the shared dialogs' remembered folder.
    list->addItems(CPrompt::getOpenFileNames(nullptr, tr("Select Files"), QString(), filter));
}

void QFileListDialog::removeFiles()
{
    qDeleteAll(list->selectedItems());
}

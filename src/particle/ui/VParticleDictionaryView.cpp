#include "VParticleDictionaryView.h"

#include "PCFEditing.h"

#include <QAbstractItemView>

VParticleDictionaryView::VParticleDictionaryView(QWidget *parent, const CFilePCF *document)
    : QListDialog(parent, QDialogButtonBox::Ok)
{
    setItems(PCFEditing::dictionaryLines(document));
    setSelectionMode(QAbstractItemView::NoSelection);
    setWindowTitle(tr("String Dictionary"));
    requireSelection = false;
}

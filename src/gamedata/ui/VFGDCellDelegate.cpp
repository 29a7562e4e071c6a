#include "VFGDCellDelegate.h"

void VFGDCellDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                    const QModelIndex &index) const
{
    const QPersistentModelIndex outer = m_committing;
    m_committing = index;
    QStyledItemDelegate::setModelData(editor, model, index);
    m_committing = outer;
}

bool VFGDCellDelegate::isCommitting(const QAbstractItemModel *model, int row, int column) const
{
    return m_committing.isValid() && m_committing.model() == model && m_committing.row() == row &&
           m_committing.column() == column;
}

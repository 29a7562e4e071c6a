#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

// The item delegate of the FGD editor's tables. It tells which cell an editor
// is writing back, so that the window stores a text however its edit ends
// (Tab, arrows, Return, a click elsewhere) and still ignores the cells it
// fills itself. The view writes back through setModelData whatever ended the
// edit, and the cell's change arrives while that call runs.
class VFGDCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

    // Whether an editor is writing back the cell at row and column of the
    // model.
    bool isCommitting(const QAbstractItemModel *model, int row, int column) const;

private:
    mutable QPersistentModelIndex m_committing;
};

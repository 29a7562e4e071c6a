// Edits of the entity table, the document-wide lists, and the shown class's
// helpers and bases.
#include "VFGD.h"

#include "CFileFGD.h"
#include "CPrompt.h"
#include "FGDEditorRules.h"
#include "FGDText.h"
#include "VFGDListWidget.h"
#include "VFGDTableWidget.h"

#include <QCheckBox>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QTreeWidget>

using namespace FGDEditor;

void VFGD::fgdEntityItemChanged(QTableWidgetItem *cell)
{
    cellChanged(EntityTable, cell);
}

void VFGD::fgdEntityItemClicked(QTableWidgetItem *cell)
{
    cellClicked(EntityTable, cell);
}

void VFGD::fgdEntityItemDoubleClicked(QTableWidgetItem *cell)
{
    // A double click always follows a click that showed the entity; should it
    // not have, the details are shown now, so that they and the current cell
    // name the same class.
    if (cell && cell->column() == 0 && cell != m_current[EntityTable] &&
        rowInside(cell->row(), elementCount(EntityTable))) {
        m_current[EntityTable] = cell;
        showEntity();
    }
    cellDoubleClicked(EntityTable, cell);
}

void VFGD::fgdEntityItemEntered(QTableWidgetItem *) {}

void VFGD::fgdEntityContextMenuRequested(const QPoint &point)
{
    tableContextMenu(EntityTable, point, m_tableContextMenu);
}

void VFGD::fgdEntityUpArrowPressed()
{
    moveEntity(-1);
}

void VFGD::fgdEntityDownArrowPressed()
{
    moveEntity(1);
}

void VFGD::moveEntity(int step)
{
    const int row = m_entityTable->currentRow();
    const int count = elementCount(EntityTable);
    if (step < 0 ? !canMoveUp(row, count) : !canMoveDown(row, count))
        return;
    const int other = row + step;
    const int column = m_entityTable->currentColumn();
    // The document first, then the cells with the table's signals held back:
    // no slot ever sees a row whose cells and record disagree.
    m_document->classes.swapItemsAt(row, other);
    const QSignalBlocker blocker(m_entityTable);
    for (int c = 0; c < m_entityTable->columnCount(); ++c) {
        QTableWidgetItem *moving = m_entityTable->takeItem(row, c);
        m_entityTable->setItem(row, c, m_entityTable->takeItem(other, c));
        m_entityTable->setItem(other, c, moving);
    }
    m_entityTable->setCurrentCell(other, column);
}

void VFGD::fgdEntityTypeChanged()
{
    const int row = m_entityTable->currentRow();
    const int type = m_entityTypeActions.indexOf(qobject_cast<QAction *>(sender()));
    if (type < 0 || !rowInside(row, elementCount(EntityTable)))
        return;
    m_document->classes[row].type = type;
    const QSignalBlocker blocker(m_entityTable);
    if (QTableWidgetItem *typeCell = m_entityTable->item(row, 1))
        typeCell->setText(FGD::classTypeName(type));
}

void VFGD::fgdAddEntity()
{
    if (!m_document)
        return;
    m_document->classes.append(FGDEntityClass());
    rowAppended(EntityTable);
}

void VFGD::fgdIncludeItemChanged(QListWidgetItem *item)
{
    storeListEntry(item);
}

void VFGD::fgdIncludeContextMenuRequested(const QPoint &point)
{
    listContextMenu(m_includeList, point);
}

// The lists keep their order: their arrow keys do nothing.
void VFGD::fgdIncludeUpArrowPressed() {}
void VFGD::fgdIncludeDownArrowPressed() {}
void VFGD::fgdMaterialExcludesUpArrowPressed() {}
void VFGD::fgdMaterialExcludesDownArrowPressed() {}

void VFGD::fgdAddInclude()
{
    if (!m_document)
        return;
    m_document->includes.append(QString());
    listEntryAppended(m_includeList);
}

void VFGD::fgdMaterialExcludeItemChanged(QListWidgetItem *item)
{
    storeListEntry(item);
}

void VFGD::fgdMaterialExcludesContextMenuRequested(const QPoint &point)
{
    listContextMenu(m_materialExcludeList, point);
}

void VFGD::fgdAddMaterialExclude()
{
    if (!m_document)
        return;
    m_document->materialExclusions.append(QString());
    listEntryAppended(m_materialExcludeList);
}

// The auto visgroups are shown, not edited.
void VFGD::fgdVisgroupItemChanged(QTreeWidgetItem *, int) {}

void VFGD::fgdVisgroupContextMenuRequested(const QPoint &point)
{
    m_contextTreeItem = m_visgroupTree->itemAt(point);
    if (m_contextTreeItem)
        m_treeContextMenu->popup(QCursor::pos());
}

void VFGD::fgdContextDeleteTree() {}

void VFGD::fgdBaseItemChanged(QListWidgetItem *item)
{
    storeListEntry(item);
}

void VFGD::fgdBaseContextMenuRequested(const QPoint &point)
{
    listContextMenu(m_baseList, point);
}

void VFGD::fgdAddBase()
{
    FGDEntityClass *entityClass = shownClass();
    if (!entityClass)
        return;
    entityClass->bases.append(QByteArray());
    listEntryAppended(m_baseList);
}

void VFGD::storeListEntry(QListWidgetItem *item)
{
    if (!item || !m_document)
        return;
    QListWidget *list = item->listWidget();
    const int row = list ? list->row(item) : -1;
    // Stored trimmed; the entry keeps what was typed.
    const QString text = item->text().trimmed();
    if (list == m_includeList && rowInside(row, m_document->includes.size())) {
        m_document->includes[row] = text;
    } else if (list == m_materialExcludeList &&
               rowInside(row, m_document->materialExclusions.size())) {
        m_document->materialExclusions[row] = text;
    } else if (list == m_baseList) {
        FGDEntityClass *entityClass = shownClass();
        if (entityClass && rowInside(row, entityClass->bases.size()))
            entityClass->bases[row] = bytesOf(text);
    }
}

void VFGD::listEntryAppended(QListWidget *list)
{
    // The add item goes (Qt releases its button once the click is over) and
    // comes back below the new, empty entry.
    const int last = list->count() - 1;
    if (last >= 0 && !(list->item(last)->flags() & Qt::ItemIsEditable))
        delete list->takeItem(last);
    appendListEntry(list, QString());
    appendListAddRow(list);
    list->scrollToBottom();
}

void VFGD::listContextMenu(QListWidget *list, const QPoint &point)
{
    QListWidgetItem *item = list->itemAt(point);
    // Entries only: never the add item or empty space.
    m_contextListItem = item && (item->flags() & Qt::ItemIsEditable) ? item : nullptr;
    if (m_contextListItem)
        m_listContextMenu->popup(QCursor::pos());
}

void VFGD::fgdContextDeleteList()
{
    QListWidgetItem *item = m_contextListItem;
    m_contextListItem = nullptr;
    if (!item || !m_document)
        return;
    QListWidget *list = item->listWidget();
    const int row = list ? list->row(item) : -1;
    FGDEntityClass *entityClass = shownClass();
    if (list == m_includeList && rowInside(row, m_document->includes.size()))
        m_document->includes.removeAt(row);
    else if (list == m_materialExcludeList && rowInside(row, m_document->materialExclusions.size()))
        m_document->materialExclusions.removeAt(row);
    else if (list == m_baseList && entityClass && rowInside(row, entityClass->bases.size()))
        entityClass->bases.removeAt(row);
    else
        return;
    delete list->takeItem(row);
}

void VFGD::storeField(QLineEdit *edit, QByteArray FGDEntityClass::*field)
{
    if (FGDEntityClass *entityClass = shownClass())
        entityClass->*field = bytesOf(edit->text());
}

void VFGD::setHelperFlag(quint32 flag, bool on)
{
    FGDEntityClass *entityClass = shownClass();
    if (!entityClass)
        return;
    if (on)
        entityClass->helperFlags |= flag;
    else
        entityClass->helperFlags &= ~flag;
}

void VFGD::fgdDescriptionChanged()
{
    storeField(m_descriptionEdit, &FGDEntityClass::description);
}

void VFGD::fgdIconspriteChanged()
{
    storeField(m_iconSpriteEdit, &FGDEntityClass::iconSprite);
}

void VFGD::fgdStudioChanged()
{
    storeField(m_studioEdit, &FGDEntityClass::studioModel);
}

void VFGD::fgdStudioPropChanged()
{
    storeField(m_studioPropEdit, &FGDEntityClass::studioPropModel);
}

void VFGD::fgdStudioCheckStateChanged(int state)
{
    // The model comes from a keyvalue: no model of the class's own.
    m_studioEdit->setEnabled(state == Qt::Unchecked);
    setHelperFlag(FGDEntityClass::StudioFromKeyvalue, state != Qt::Unchecked);
}

void VFGD::fgdColorCheckStateChanged(int state)
{
    setHelperFlag(FGDEntityClass::HasColor, state != Qt::Unchecked);
}

void VFGD::fgdColorButtonClicked()
{
    FGDEntityClass *entityClass = shownClass();
    if (!entityClass)
        return;
    const QColor chosen = CPrompt::getColor(entityClass->color, this, tr("Entity Color"));
    if (!chosen.isValid())
        return;
    entityClass->color = chosen;
    setColorButton(chosen);
    m_colorCheck->setChecked(true);
}

void VFGD::fgdSizeChanged()
{
    FGDEntityClass *entityClass = shownClass();
    if (!entityClass)
        return;
    readSizeText(m_sizeEdit->text(), *entityClass);
    // The normal form, or the stored size again when nothing was readable.
    showSize();
}

void VFGD::fgdFlagToggled()
{
    FGDEntityClass *entityClass = shownClass();
    auto *check = qobject_cast<QCheckBox *>(sender());
    const int k = m_flagChecks.indexOf(check);
    if (!entityClass || k < 0)
        return;
    const quint32 bit = quint32(1) << k;
    quint32 defaults = quint32(entityClass->flagDefaults);
    defaults = check->isChecked() ? defaults | bit : defaults & ~bit;
    entityClass->flagDefaults = qint32(defaults);
}

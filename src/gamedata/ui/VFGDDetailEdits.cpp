// Edits through the tables: choosing cells, editing them in place, the add
// rows, the type menus and the tables' context menus. Every table follows the
// same rules; what differs is which document sequence and fields a row and
// column stand for.
#include "VFGD.h"

#include "CFileFGD.h"
#include "FGDEditorRules.h"
#include "FGDText.h"
#include "VFGDCellDelegate.h"
#include "VFGDTableWidget.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QSignalBlocker>
#include <QTabWidget>

using namespace FGDEditor;

VFGD::Table VFGD::tableOf(const QTableWidgetItem *cell) const
{
    const QTableWidget *widget = cell ? cell->tableWidget() : nullptr;
    for (int table = 0; table < TableCount; ++table) {
        if (widget && m_tables[table] == widget)
            return Table(table);
    }
    return TableCount;
}

int VFGD::elementCount(Table table) const
{
    if (!m_document)
        return 0;
    const FGDEntityClass *entityClass = shownClass();
    if (table == EntityTable)
        return m_document->classes.size();
    if (table == ChoiceTable) {
        const FGDKeyvalue *keyvalue = selectedKeyvalue();
        return keyvalue ? keyvalue->choices.size() : 0;
    }
    if (!entityClass)
        return 0;
    switch (table) {
    case KeyvalueTable:
        return entityClass->keyvalues.size();
    case InputTable:
        return entityClass->inputs.size();
    case OutputTable:
        return entityClass->outputs.size();
    case FlagTable:
        return FGDEntityClass::FlagCount;
    case LineTable:
        return entityClass->lines.size();
    case CylinderTable:
        return entityClass->cylinders.size();
    default:
        return 0;
    }
}

void VFGD::removeElement(Table table, int row)
{
    FGDEntityClass *entityClass = shownClass();
    switch (table) {
    case EntityTable:
        m_document->classes.remove(row);
        break;
    case KeyvalueTable:
        entityClass->keyvalues.remove(row);
        break;
    case InputTable:
        entityClass->inputs.remove(row);
        break;
    case OutputTable:
        entityClass->outputs.remove(row);
        break;
    case ChoiceTable:
        selectedKeyvalue()->choices.remove(row);
        break;
    case LineTable:
        entityClass->lines.remove(row);
        break;
    case CylinderTable:
        entityClass->cylinders.remove(row);
        break;
    case FlagTable:
    case TableCount:
        break;
    }
}

QByteArray *VFGD::textField(Table table, int row, int column) const
{
    FGDEntityClass *entityClass = shownClass();
    auto pick = [column](std::initializer_list<QByteArray *> fields) -> QByteArray * {
        return rowInside(column, int(fields.size())) ? fields.begin()[column] : nullptr;
    };
    switch (table) {
    case EntityTable:
        return pick({&m_document->classes[row].classname});
    case KeyvalueTable: {
        FGDKeyvalue &k = entityClass->keyvalues[row];
        return pick({&k.name, nullptr, &k.displayName, &k.defaultValue, &k.description});
    }
    case InputTable:
    case OutputTable: {
        FGDInputOutput &io =
            (table == InputTable ? entityClass->inputs : entityClass->outputs)[row];
        return pick({&io.name, nullptr, &io.description});
    }
    case ChoiceTable: {
        FGDChoice &choice = selectedKeyvalue()->choices[row];
        return column == 0 ? &choice.value : &choice.text;
    }
    case FlagTable:
        return pick({nullptr, &entityClass->flagTexts[row]});
    case LineTable: {
        FGDLine &line = entityClass->lines[row];
        return pick({nullptr, &line.source, &line.target});
    }
    case CylinderTable: {
        FGDCylinder &y = entityClass->cylinders[row];
        return pick({nullptr, &y.source, &y.target, &y.value3, &y.value4, &y.value5, &y.value6});
    }
    case TableCount:
        break;
    }
    return nullptr;
}

QColor *VFGD::colorField(Table table, int row) const
{
    FGDEntityClass *entityClass = shownClass();
    if (table == LineTable)
        return &entityClass->lines[row].color;
    if (table == CylinderTable)
        return &entityClass->cylinders[row].color;
    return nullptr;
}

void VFGD::cellClicked(Table table, QTableWidgetItem *cell)
{
    if (!cell)
        return;
    if (hasTypeColumn(table)) {
        // The add row holds no cells; rows past the elements are not chosen.
        if (!rowInside(cell->row(), elementCount(table)))
            return;
        if (cell->column() == TypeColumn) {
            popupTypeMenu(table);
            return;
        }
    }
    m_current[table] = cell;
    if (table == EntityTable)
        showEntity();
    else if (table == KeyvalueTable)
        showChoices();
}

void VFGD::popupTypeMenu(Table table)
{
    if (table == EntityTable) {
        m_entityTypeMenu->popup(QCursor::pos());
        return;
    }
    for (int type = 0; type < m_parameterTypeActions.size(); ++type)
        m_parameterTypeActions.at(type)->setEnabled(
            parameterTypeOffered(type, table == KeyvalueTable));
    m_parameterTypeMenu->popup(QCursor::pos());
}

void VFGD::cellDoubleClicked(Table table, QTableWidgetItem *cell)
{
    if (!cell)
        return;
    const bool inside = rowInside(cell->row(), elementCount(table));
    bool acts = true;
    switch (table) {
    case EntityTable:
        acts = inside && cell->column() == 0;
        break;
    case KeyvalueTable:
    case InputTable:
    case OutputTable:
        // The type changes through its menu only.
        acts = inside && cell->column() != TypeColumn;
        break;
    case ChoiceTable:
        acts = inside;
        break;
    default:
        break;
    }
    if (!acts)
        return;
    m_current[table] = cell;
    m_tables[table]->editItem(cell);
}

bool VFGD::hasTypeColumn(Table table)
{
    return table == EntityTable || table == KeyvalueTable || table == InputTable ||
           table == OutputTable;
}

void VFGD::cellChanged(Table table, QTableWidgetItem *cell)
{
    // Only the cell the user chose or an editor is writing back, however its
    // edit ended: cells built or refilled are no edits.
    if (!cell ||
        (cell != m_current[table] &&
         !m_cellDelegate->isCommitting(m_tables[table]->model(), cell->row(), cell->column())))
        return;
    const int row = cell->row();
    const int column = cell->column();
    if (!rowInside(row, elementCount(table)))
        return;
    if (column == 0) {
        if (QColor *color = colorField(table, row)) {
            *color = readColorText(cell->text(), *color);
            // Lines show the colour as stored; cylinders keep what was typed.
            if (table == LineTable) {
                const QSignalBlocker blocker(m_lineTable);
                cell->setText(colorText(*color));
            }
            return;
        }
    }
    if (QByteArray *field = textField(table, row, column))
        *field = bytesOf(cell->text());
}

void VFGD::rowAppended(Table table)
{
    // The old add row goes (Qt releases its button once the click is over),
    // the new element takes its place and a new add row follows.
    QTableWidget *widget = m_tables[table];
    const int count = elementCount(table);
    if (m_current[table] && m_current[table]->row() >= count - 1)
        m_current[table] = nullptr;
    const QSignalBlocker blocker(widget);
    widget->setRowCount(count - 1);
    widget->setRowCount(count + 1);
    fillRow(table, count - 1);
    appendAddRow(table);
    widget->scrollToBottom();
}

void VFGD::tableContextMenu(Table table, const QPoint &point, QMenu *menu)
{
    QTableWidgetItem *cell = m_tables[table]->itemAt(point);
    m_contextCell = cell;
    bool shows = true;
    if (table == EntityTable)
        shows = cell && cell->column() == 0;
    else if (table == KeyvalueTable || table == InputTable || table == OutputTable)
        shows = cell && cell->column() != TypeColumn;
    if (shows)
        menu->popup(QCursor::pos());
}

void VFGD::fgdContextDeleteTable()
{
    QTableWidgetItem *cell = m_contextCell;
    m_contextCell = nullptr;
    const Table table = tableOf(cell);
    if (table == TableCount || table == FlagTable)
        return;
    const int row = cell->row();
    if (!rowInside(row, elementCount(table)))
        return;
    removeElement(table, row);
    if (m_current[table] && m_current[table]->row() == row)
        m_current[table] = nullptr;
    m_tables[table]->removeRow(row);
    if (table == EntityTable || table == KeyvalueTable) {
        // The row below moves up into the current place, or the one above.
        const int next = rowAfterDelete(row, elementCount(table));
        m_current[table] = next >= 0 ? m_tables[table]->item(next, 0) : nullptr;
        if (table == EntityTable)
            showEntity();
        else
            showChoices();
    }
}

void VFGD::toggleKeyvalueFlag(bool FGDKeyvalue::*flag)
{
    FGDEntityClass *entityClass = shownClass();
    if (tableOf(m_contextCell) != KeyvalueTable || !entityClass ||
        !rowInside(m_contextCell->row(), entityClass->keyvalues.size()))
        return;
    const int row = m_contextCell->row();
    FGDKeyvalue &keyvalue = entityClass->keyvalues[row];
    keyvalue.*flag = !(keyvalue.*flag);
    showKeyvalueIcon(m_keyvalueTable->item(row, 0));
}

void VFGD::fgdContextReadonly()
{
    toggleKeyvalueFlag(&FGDKeyvalue::readonly);
}

void VFGD::fgdContextSphere()
{
    toggleKeyvalueFlag(&FGDKeyvalue::sphereRadius);
}

void VFGD::fgdParameterTypeChanged()
{
    QWidget *page = m_detailTabs->currentWidget();
    const Table table = page == m_keyvalueTable ? KeyvalueTable
                        : page == m_inputTable  ? InputTable
                        : page == m_outputTable ? OutputTable
                                                : TableCount;
    if (table == TableCount)
        return;
    const int row = m_tables[table]->currentRow();
    const int type = m_parameterTypeActions.indexOf(qobject_cast<QAction *>(sender()));
    // The menu's restrictions hold however the action was triggered.
    if (!rowInside(row, elementCount(table)) || !parameterTypeOffered(type, table == KeyvalueTable))
        return;
    FGDEntityClass *entityClass = shownClass();
    if (table == KeyvalueTable)
        entityClass->keyvalues[row].type = type;
    else
        (table == InputTable ? entityClass->inputs : entityClass->outputs)[row].type = type;
    if (QTableWidgetItem *typeCell = m_tables[table]->item(row, TypeColumn)) {
        const QSignalBlocker blocker(m_tables[table]);
        typeCell->setText(FGD::parameterTypeName(type));
    }
    // A keyvalue keeps its choices whatever its type; they show for "choices".
    if (table == KeyvalueTable && m_current[KeyvalueTable] &&
        m_current[KeyvalueTable]->row() == row)
        showChoices();
}

// Each table's slots, in the shared rules above.
void VFGD::fgdKeyvalueItemChanged(QTableWidgetItem *cell)
{
    cellChanged(KeyvalueTable, cell);
}
void VFGD::fgdKeyvalueItemClicked(QTableWidgetItem *cell)
{
    cellClicked(KeyvalueTable, cell);
}
void VFGD::fgdKeyvalueItemDoubleClicked(QTableWidgetItem *cell)
{
    cellDoubleClicked(KeyvalueTable, cell);
}
void VFGD::fgdKeyvalueContextMenuRequested(const QPoint &point)
{
    tableContextMenu(KeyvalueTable, point, m_keyvalueContextMenu);
}
void VFGD::fgdInputItemChanged(QTableWidgetItem *cell)
{
    cellChanged(InputTable, cell);
}
void VFGD::fgdInputItemClicked(QTableWidgetItem *cell)
{
    cellClicked(InputTable, cell);
}
void VFGD::fgdInputItemDoubleClicked(QTableWidgetItem *cell)
{
    cellDoubleClicked(InputTable, cell);
}
void VFGD::fgdInputContextMenuRequested(const QPoint &point)
{
    tableContextMenu(InputTable, point, m_tableContextMenu);
}
void VFGD::fgdOutputItemChanged(QTableWidgetItem *cell)
{
    cellChanged(OutputTable, cell);
}
void VFGD::fgdOutputItemClicked(QTableWidgetItem *cell)
{
    cellClicked(OutputTable, cell);
}
void VFGD::fgdOutputItemDoubleClicked(QTableWidgetItem *cell)
{
    cellDoubleClicked(OutputTable, cell);
}
void VFGD::fgdOutputContextMenuRequested(const QPoint &point)
{
    tableContextMenu(OutputTable, point, m_tableContextMenu);
}
void VFGD::fgdChoicesItemChanged(QTableWidgetItem *cell)
{
    cellChanged(ChoiceTable, cell);
}
void VFGD::fgdChoicesItemClicked(QTableWidgetItem *cell)
{
    cellClicked(ChoiceTable, cell);
}
void VFGD::fgdChoicesItemDoubleClicked(QTableWidgetItem *cell)
{
    cellDoubleClicked(ChoiceTable, cell);
}
void VFGD::fgdChoicesContextMenuRequested(const QPoint &point)
{
    tableContextMenu(ChoiceTable, point, m_tableContextMenu);
}
void VFGD::fgdFlagItemChanged(QTableWidgetItem *cell)
{
    cellChanged(FlagTable, cell);
}
void VFGD::fgdFlagItemClicked(QTableWidgetItem *cell)
{
    cellClicked(FlagTable, cell);
}
void VFGD::fgdFlagItemDoubleClicked(QTableWidgetItem *cell)
{
    cellDoubleClicked(FlagTable, cell);
}
void VFGD::fgdLineItemChanged(QTableWidgetItem *cell)
{
    cellChanged(LineTable, cell);
}
void VFGD::fgdLineItemClicked(QTableWidgetItem *cell)
{
    cellClicked(LineTable, cell);
}
void VFGD::fgdLineItemDoubleClicked(QTableWidgetItem *cell)
{
    cellDoubleClicked(LineTable, cell);
}
void VFGD::fgdLineContextMenuRequested(const QPoint &point)
{
    tableContextMenu(LineTable, point, m_tableContextMenu);
}
void VFGD::fgdCylinderItemChanged(QTableWidgetItem *cell)
{
    cellChanged(CylinderTable, cell);
}
void VFGD::fgdCylinderItemClicked(QTableWidgetItem *cell)
{
    cellClicked(CylinderTable, cell);
}
void VFGD::fgdCylinderItemDoubleClicked(QTableWidgetItem *cell)
{
    cellDoubleClicked(CylinderTable, cell);
}
void VFGD::fgdCylinderContextMenuRequested(const QPoint &point)
{
    tableContextMenu(CylinderTable, point, m_tableContextMenu);
}

void VFGD::fgdAddKeyvalue()
{
    if (FGDEntityClass *entityClass = shownClass()) {
        entityClass->keyvalues.append(FGDKeyvalue());
        rowAppended(KeyvalueTable);
    }
}

void VFGD::fgdAddInput()
{
    if (FGDEntityClass *entityClass = shownClass()) {
        entityClass->inputs.append(FGDInputOutput());
        rowAppended(InputTable);
    }
}

void VFGD::fgdAddOutput()
{
    if (FGDEntityClass *entityClass = shownClass()) {
        entityClass->outputs.append(FGDInputOutput());
        rowAppended(OutputTable);
    }
}

void VFGD::fgdAddChoices()
{
    if (FGDKeyvalue *keyvalue = selectedKeyvalue()) {
        keyvalue->choices.append(FGDChoice());
        rowAppended(ChoiceTable);
    }
}

void VFGD::fgdAddLine()
{
    if (FGDEntityClass *entityClass = shownClass()) {
        entityClass->lines.append(FGDLine());
        rowAppended(LineTable);
    }
}

void VFGD::fgdAddCylinder()
{
    if (FGDEntityClass *entityClass = shownClass()) {
        entityClass->cylinders.append(FGDCylinder());
        rowAppended(CylinderTable);
    }
}

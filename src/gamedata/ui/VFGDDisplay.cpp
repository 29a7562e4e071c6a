// How a document fills the editor: the entity table, the document-wide lists,
// the chosen entity's details, and the row and add-row builders the edits use.
#include "VFGD.h"

#include "CFileFGD.h"
#include "FGDEditorRules.h"
#include "FGDText.h"
#include "VFGDListWidget.h"
#include "VFGDTableWidget.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

using namespace FGDEditor;

namespace {

QPushButton *addButton()
{
    auto *button = new QPushButton(QIcon(QStringLiteral(":/resources/icons/add.png")), QString());
    button->setObjectName(QStringLiteral("addButton"));
    return button;
}

QStringList inputOutputTexts(const FGDInputOutput &io)
{
    return {textOf(io.name), FGD::parameterTypeName(io.type), textOf(io.description)};
}

} // namespace

void VFGD::setDocument(CFileFGD *document)
{
    if (!document || m_document)
        return;
    m_document = document;
    refillTable(EntityTable);
    for (const QString &name : qAsConst(m_document->includes))
        appendListEntry(m_includeList, name);
    appendListAddRow(m_includeList);
    for (const QString &name : qAsConst(m_document->materialExclusions))
        appendListEntry(m_materialExcludeList, name);
    appendListAddRow(m_materialExcludeList);

    for (const FGDAutoVisgroup &group : qAsConst(m_document->autoVisgroups)) {
        auto *major = new QTreeWidgetItem(m_visgroupTree, {textOf(group.name)});
        for (const FGDAutoVisgroupMinor &minorGroup : group.minors) {
            auto *minor = new QTreeWidgetItem(major, {textOf(minorGroup.name)});
            for (const QByteArray &entity : minorGroup.entities)
                new QTreeWidgetItem(minor, {textOf(entity)});
        }
    }

    m_current[EntityTable] = m_document->classes.isEmpty() ? nullptr : m_entityTable->item(0, 0);
    showEntity();
    setWindowTitle(m_document->displayName());
}

FGDEntityClass *VFGD::shownClass() const
{
    const QTableWidgetItem *cell = m_current[EntityTable];
    if (!m_document || !cell || !rowInside(cell->row(), m_document->classes.size()))
        return nullptr;
    return &m_document->classes[cell->row()];
}

FGDKeyvalue *VFGD::selectedKeyvalue() const
{
    FGDEntityClass *entityClass = shownClass();
    const QTableWidgetItem *cell = m_current[KeyvalueTable];
    if (!entityClass || !cell || !rowInside(cell->row(), entityClass->keyvalues.size()))
        return nullptr;
    return &entityClass->keyvalues[cell->row()];
}

FGDChoice *VFGD::selectedKeyvalueChoice() const
{
    FGDKeyvalue *keyvalue = selectedKeyvalue();
    const QTableWidgetItem *cell = m_current[ChoiceTable];
    if (!keyvalue || !cell || !rowInside(cell->row(), keyvalue->choices.size()))
        return nullptr;
    return &keyvalue->choices[cell->row()];
}

void VFGD::showEntity()
{
    m_rightPanel->setEnabled(m_current[EntityTable] != nullptr);
    markShownEntity();
    forgetDetailCells();
    const FGDEntityClass *entityClass = shownClass();
    if (!entityClass)
        return;

    m_descriptionEdit->setText(textOf(entityClass->description));
    m_iconSpriteEdit->setText(textOf(entityClass->iconSprite));
    // The check boxes' slots write back the bit just shown (and enable the
    // studio field to match).
    m_studioCheck->setChecked(entityClass->helperFlags & FGDEntityClass::StudioFromKeyvalue);
    m_studioEdit->setText(textOf(entityClass->studioModel));
    m_studioPropEdit->setText(textOf(entityClass->studioPropModel));
    m_colorCheck->setChecked(entityClass->helperFlags & FGDEntityClass::HasColor);
    setColorButton(entityClass->color);
    showSize();

    {
        const QSignalBlocker blocker(m_baseList);
        m_baseList->clear();
        for (const QByteArray &base : entityClass->bases)
            appendListEntry(m_baseList, textOf(base));
        appendListAddRow(m_baseList);
    }
    for (Table table : {KeyvalueTable, InputTable, OutputTable})
        refillTable(table);
    {
        const QSignalBlocker blocker(m_flagTable);
        for (int k = 0; k < FGDEntityClass::FlagCount; ++k) {
            m_flagChecks.at(k)->setChecked(quint32(entityClass->flagDefaults) & (quint32(1) << k));
            m_flagTable->item(k, 1)->setText(textOf(entityClass->flagTexts.value(k)));
        }
    }
    for (Table table : {LineTable, CylinderTable})
        refillTable(table);
    showChoices();
}

void VFGD::markShownEntity()
{
    // The table selects nothing, so the shown entity's name is set in bold.
    const QSignalBlocker blocker(m_entityTable);
    for (int row = 0; row < m_entityTable->rowCount(); ++row) {
        if (QTableWidgetItem *cell = m_entityTable->item(row, 0)) {
            QFont font = cell->font();
            font.setBold(cell == m_current[EntityTable]);
            cell->setFont(font);
        }
    }
}

void VFGD::showSize()
{
    if (const FGDEntityClass *entityClass = shownClass())
        m_sizeEdit->setText(sizeText(*entityClass));
}

void VFGD::showChoices()
{
    const FGDKeyvalue *keyvalue = selectedKeyvalue();
    // Hidden, the table keeps its rows, but no choice stays chosen.
    forgetChoiceCells();
    if (!keyvalue || keyvalue->type != FGDChoices) {
        m_choiceTable->hide();
        return;
    }
    refillTable(ChoiceTable);
    m_choiceTable->show();
}

void VFGD::showKeyvalueIcon(QTableWidgetItem *cell)
{
    const FGDEntityClass *entityClass = shownClass();
    if (!cell || !entityClass || !rowInside(cell->row(), entityClass->keyvalues.size()))
        return;
    const FGDKeyvalue &keyvalue = entityClass->keyvalues.at(cell->row());
    const QString path = keyvalueIconPath(keyvalue.readonly, keyvalue.sphereRadius);
    // An icon is no edit: the key cell's own slot must not see it.
    const QSignalBlocker blocker(m_keyvalueTable);
    cell->setIcon(path.isEmpty() ? QIcon() : QIcon(path));
}

void VFGD::setColorButton(const QColor &color)
{
    m_colorButton->setPalette(QPalette(color));
}

void VFGD::forgetDetailCells()
{
    for (Table table : {KeyvalueTable, InputTable, OutputTable, LineTable, CylinderTable})
        m_current[table] = nullptr;
    forgetChoiceCells();
    // A context menu's cell or base entry is gone with its rows; the menus'
    // actions never outlive the request that remembers a new one.
    m_contextListItem = nullptr;
}

void VFGD::forgetChoiceCells()
{
    m_current[ChoiceTable] = nullptr;
    m_contextCell = nullptr;
}

void VFGD::refillTable(Table table)
{
    QTableWidget *widget = m_tables[table];
    const QSignalBlocker blocker(widget);
    const int count = elementCount(table);
    widget->setRowCount(0);
    widget->setRowCount(count + 1);
    for (int row = 0; row < count; ++row)
        fillRow(table, row);
    appendAddRow(table);
}

void VFGD::fillRow(Table table, int row)
{
    const FGDEntityClass *entityClass = table == EntityTable ? nullptr : shownClass();
    switch (table) {
    case EntityTable:
        fillEntityRow(row, m_document->classes.at(row));
        break;
    case KeyvalueTable:
        fillKeyvalueRow(row, entityClass->keyvalues.at(row));
        break;
    case InputTable:
        fillInputRow(row, entityClass->inputs.at(row));
        break;
    case OutputTable:
        fillOutputRow(row, entityClass->outputs.at(row));
        break;
    case ChoiceTable:
        fillChoiceRow(row, selectedKeyvalue()->choices.at(row));
        break;
    case LineTable:
        fillLineRow(row, entityClass->lines.at(row));
        break;
    case CylinderTable:
        fillCylinderRow(row, entityClass->cylinders.at(row));
        break;
    case FlagTable:
    case TableCount:
        break;
    }
}

void VFGD::setRowTexts(Table table, int row, const QStringList &texts)
{
    for (int column = 0; column < texts.size(); ++column) {
        auto *cell = new QTableWidgetItem(texts.at(column));
        // Tab must not open an editor on the type, which only its menu sets.
        if (column == TypeColumn && hasTypeColumn(table))
            cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
        m_tables[table]->setItem(row, column, cell);
    }
}

void VFGD::fillEntityRow(int row, const FGDEntityClass &entityClass)
{
    setRowTexts(EntityTable, row,
                {textOf(entityClass.classname), FGD::classTypeName(entityClass.type)});
}

void VFGD::fillKeyvalueRow(int row, const FGDKeyvalue &keyvalue)
{
    setRowTexts(KeyvalueTable, row,
                {textOf(keyvalue.name), FGD::parameterTypeName(keyvalue.type),
                 textOf(keyvalue.displayName), textOf(keyvalue.defaultValue),
                 textOf(keyvalue.description)});
    showKeyvalueIcon(m_keyvalueTable->item(row, 0));
}

void VFGD::fillInputRow(int row, const FGDInputOutput &input)
{
    setRowTexts(InputTable, row, inputOutputTexts(input));
}

void VFGD::fillOutputRow(int row, const FGDInputOutput &output)
{
    setRowTexts(OutputTable, row, inputOutputTexts(output));
}

void VFGD::fillChoiceRow(int row, const FGDChoice &choice)
{
    setRowTexts(ChoiceTable, row, {textOf(choice.value), textOf(choice.text)});
}

void VFGD::fillLineRow(int row, const FGDLine &line)
{
    setRowTexts(LineTable, row, {colorText(line.color), textOf(line.source), textOf(line.target)});
}

void VFGD::fillCylinderRow(int row, const FGDCylinder &cylinder)
{
    setRowTexts(CylinderTable, row,
                {colorText(cylinder.color), textOf(cylinder.source), textOf(cylinder.target),
                 textOf(cylinder.value3), textOf(cylinder.value4), textOf(cylinder.value5),
                 textOf(cylinder.value6)});
}

void VFGD::appendAddRow(Table table)
{
    using AddSlot = void (VFGD::*)();
    static const AddSlot addSlots[TableCount] = {&VFGD::fgdAddEntity,  &VFGD::fgdAddKeyvalue,
                                                 &VFGD::fgdAddInput,   &VFGD::fgdAddOutput,
                                                 &VFGD::fgdAddChoices, nullptr,
                                                 &VFGD::fgdAddLine,    &VFGD::fgdAddCylinder};
    QTableWidget *widget = m_tables[table];
    const int row = widget->rowCount() - 1;
    if (row < 0 || !addSlots[table])
        return;
    widget->setSpan(row, 0, 1, widget->columnCount());
    QPushButton *button = addButton();
    connect(button, &QPushButton::clicked, this, addSlots[table]);
    widget->setCellWidget(row, 0, button);
}

void VFGD::appendListAddRow(QListWidget *list)
{
    auto *item = new QListWidgetItem;
    item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
    list->addItem(item);
    QPushButton *button = addButton();
    if (list == m_includeList)
        connect(button, &QPushButton::clicked, this, &VFGD::fgdAddInclude);
    else if (list == m_materialExcludeList)
        connect(button, &QPushButton::clicked, this, &VFGD::fgdAddMaterialExclude);
    else
        connect(button, &QPushButton::clicked, this, &VFGD::fgdAddBase);
    list->setItemWidget(item, button);
}

void VFGD::appendListEntry(QListWidget *list, const QString &text)
{
    // Flags set before the item joins the list: filling is no edit.
    auto *item = new QListWidgetItem(text);
    item->setFlags((item->flags() | Qt::ItemIsEditable) & ~Qt::ItemIsSelectable);
    list->addItem(item);
}

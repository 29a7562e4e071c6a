// The particle editor's context-menu operations: each changes the document
// through PCFEditing and then updates, in place, every row that shows what
// changed.
#include "VParticle.h"

#include "CFilePCF.h"
#include "CPrompt.h"
#include "PCFEditing.h"
#include "PCFExchange.h"
#include "QListDialog.h"
#include "VParticleAddAttributeDialog.h"
#include "VParticleTexts.h"
#include "VParticleTreeRows.h"
#include "VParticleTreeWidgetItem.h"

#include <QMenu>

using VParticleText::latin1;

namespace {

bool isScalar(uint type)
{
    return type >= ATTRIBUTE_INTEGER && type <= ATTRIBUTE_MATRIX;
}

bool isValueArray(uint type)
{
    return type >= ATTRIBUTE_INTEGER_ARRAY && type <= ATTRIBUTE_MATRIX_ARRAY;
}

} // namespace

bool VParticle::rowOffersRename(const VParticleTreeWidgetItem *row) const
{
    const VParticleTreeWidgetItem *parent = row ? row->parentRow() : nullptr;
    if (!parent || isValueArray(parent->attributeType()))
        return false;
    // A null item's name is only its row's: the file has nothing to rename.
    return parent->attributeType() != ATTRIBUTE_ELEMENT_ARRAY || row->element();
}

bool VParticle::rowOffersToArray(const VParticleTreeWidgetItem *row) const
{
    const VParticleTreeWidgetItem *parent = row ? row->parentRow() : nullptr;
    return parent && !DMX::isArray(parent->attributeType()) && isScalar(row->attributeType());
}

void VParticle::prepareContextMenu(VParticleTreeWidgetItem *row)
{
    contextItem = row;
    if (!row)
        return;
    contextParent = row->parentRow();
    m_contextMenu->clear();
    const uint type = row->attributeType();
    // A null reference has no element to add to or to give a GUID.
    const bool namesElement = type == ATTRIBUTE_ELEMENT && row->element();
    if (namesElement || DMX::isArray(type))
        m_contextMenu->addAction(contextAddAttributeAction);
    if ((type == ATTRIBUTE_ELEMENT || isScalar(type) || isValueArray(type)) && rowOffersRename(row))
        m_contextMenu->addAction(contextRenameAttributeAction);
    if (isValueArray(type))
        m_contextMenu->addAction(contextFromArrayAction);
    else if (rowOffersToArray(row))
        m_contextMenu->addAction(contextToArrayAction);
    else if (namesElement)
        m_contextMenu->addAction(contextScrambleGUIDAction);
    m_contextMenu->addAction(contextDeleteAction);
}

void VParticle::contextAddAttribute()
{
    if (!document || !contextItem || !contextItem->attribute)
        return;
    DMXAttribute *attribute = contextItem->attribute;
    if (attribute->type() == ATTRIBUTE_ELEMENT) {
        addToElement(contextItem);
    } else if (attribute->type() == ATTRIBUTE_ELEMENT_ARRAY) {
        const QString rowName = contextItem->text(0);
        if (attribute->name() == latin1(PCFEditing::Names::SystemList))
            addParticleSystem(attribute);
        else if (PCFEditing::isFunctionList(rowName))
            addFunctionElement(contextItem);
        else if (rowName == latin1(PCFEditing::Names::Children))
            addChildSystem(contextItem);
        else
            addArrayItem(attribute);
    } else if (isValueArray(attribute->type())) {
        addArrayItem(attribute);
    }
}

void VParticle::addToElement(VParticleTreeWidgetItem *row)
{
    DMXElement *element = row->element();
    DMXAttribute *added = addAttributeDialog->getAttribute();
    if (!added)
        return;
    if (!PCFEditing::addAttribute(element, added)) {
        delete added;
        return;
    }
    const QList<VParticleTreeWidgetItem *> shown = m_rows->rowsOfValue(element);
    for (VParticleTreeWidgetItem *other : shown) {
        if (other->expanded)
            m_rows->addAttributeRow(other, added, false);
    }
    setWindowModified(true);
}

void VParticle::showNewElement(DMXAttribute *list, DMXElement *element)
{
    const QList<VParticleTreeWidgetItem *> shown = m_rows->rowsOfAttribute(list);
    for (VParticleTreeWidgetItem *row : shown) {
        m_rows->addAttributeRow(row, newDmxAttribute(ATTRIBUTE_ELEMENT, element, element->type),
                                true);
        row->showValue();
    }
    setWindowModified(true);
}

void VParticle::addParticleSystem(DMXAttribute *systems)
{
    bool ok = false;
    const QString systemName = CPrompt::getText(this, tr("Add Particle System"), tr("System Name:"),
                                                QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    DMXElement *system = PCFEditing::addParticleSystem(
        document, systems, templateDocument(document->format), systemName);
    if (system)
        showNewElement(systems, system);
}

void VParticle::addFunctionElement(VParticleTreeWidgetItem *row)
{
    const QList<DMXElement *> choices =
        PCFEditing::functionChoices(templateDocument(document->format), row->text(0));
    if (choices.isEmpty())
        return;
    const DMXElement *chosen = chooseElement(choices, tr("Add Element"));
    if (!chosen)
        return;
    DMXElement *added = PCFEditing::addFunctionElement(document, row->attribute, chosen);
    if (added)
        showNewElement(row->attribute, added);
}

void VParticle::addChildSystem(VParticleTreeWidgetItem *row)
{
    const VParticleTreeWidgetItem *parent = row->parentRow();
    const DMXElement *system = parent ? parent->element() : nullptr;
    if (!system)
        return;
    const QList<DMXElement *> choices = PCFEditing::childChoices(document, system);
    // The chosen row names the system: two systems may share a name.
    DMXElement *chosen = chooseElement(choices, tr("Add Child"));
    DMXElement *entry =
        chosen ? PCFEditing::addChild(document, row->attribute, system, chosen) : nullptr;
    if (entry)
        showNewElement(row->attribute, entry);
}

DMXElement *VParticle::chooseElement(const QList<DMXElement *> &choices, const QString &title)
{
    listDialog->setItems(PCFExchange::elementNames(choices), -1);
    listDialog->setWindowTitle(title);
    if (listDialog->execute() != 1)
        return nullptr;
    return choices.value(listDialog->selectedRow());
}

void VParticle::addArrayItem(DMXAttribute *array)
{
    void *item = PCFEditing::addArrayItem(document, array);
    if (!item)
        return;
    const int index = array->itemCount() - 1;
    const QList<VParticleTreeWidgetItem *> shown = m_rows->rowsOfAttribute(array);
    for (VParticleTreeWidgetItem *row : shown) {
        row->showValue();
        m_rows->addItemRow(row, index);
    }
    setWindowModified(true);
}

void VParticle::contextRenameAttribute()
{
    if (!document || !contextItem || !contextItem->attribute || !rowOffersRename(contextItem))
        return;
    DMXAttribute *attribute = contextItem->attribute;
    if (DMXElement *element = attribute->element()) {
        bool ok = false;
        const QString newName = CPrompt::getText(this, tr("Rename Element"), tr("Attribute Name:"),
                                                 QLineEdit::Normal, element->name, &ok);
        if (!ok || !PCFEditing::renameElement(document, element, newName))
            return;
        const QList<VParticleTreeWidgetItem *> shown = m_rows->rowsOfValue(element);
        for (VParticleTreeWidgetItem *row : shown)
            row->showName();
        setWindowModified(true);
        return;
    }
    if (attribute->type() == ATTRIBUTE_ELEMENT_ARRAY)
        return;
    bool ok = false;
    const QString newName = CPrompt::getText(this, tr("Rename Attribute"), tr("Attribute Name:"),
                                             QLineEdit::Normal, attribute->name(), &ok)
                                .trimmed();
    if (!ok || newName.isEmpty())
        return;
    if (contextParent) {
        for (int i = 0; i < contextParent->childCount(); ++i) {
            if (contextParent->child(i)->text(0) == newName)
                return;
        }
    }
    attribute->setName(newName);
    const QList<VParticleTreeWidgetItem *> shown = m_rows->rowsOfAttribute(attribute);
    for (VParticleTreeWidgetItem *row : shown) {
        row->showName();
        VParticleTreeRows::relabelItems(row);
    }
    setWindowModified(true);
}

void VParticle::contextToArray()
{
    if (!contextItem || !rowOffersToArray(contextItem))
        return;
    DMXAttribute *attribute = contextItem->attribute;
    if (!PCFEditing::toArray(attribute))
        return;
    const QList<VParticleTreeWidgetItem *> shown = m_rows->rowsOfAttribute(attribute);
    for (VParticleTreeWidgetItem *row : shown) {
        row->showType();
        row->showValue();
        m_rows->addItemRow(row, 0);
    }
    setWindowModified(true);
}

void VParticle::contextFromArray()
{
    if (!contextItem || !contextItem->attribute || !isValueArray(contextItem->attributeType()) ||
        !contextItem->attribute->ownsValue())
        return;
    DMXAttribute *attribute = contextItem->attribute;
    const QStringList items = PCFEditing::itemTexts(attribute);
    int chosen = 0;
    if (items.size() > 1) {
        listDialog->setItems(items, -1);
        listDialog->setWindowTitle(tr("Select Attribute"));
        if (listDialog->execute() != 1)
            return;
        chosen = listDialog->selectedRow();
        if (chosen < 0 || chosen >= items.size())
            return;
    }
    // The item rows show the array's items: they go before the array does.
    const QList<VParticleTreeWidgetItem *> shown = m_rows->rowsOfAttribute(attribute);
    for (VParticleTreeWidgetItem *row : shown) {
        while (row->childCount() > 0)
            delete row->child(row->childCount() - 1);
    }
    PCFEditing::fromArray(attribute, chosen);
    for (VParticleTreeWidgetItem *row : shown) {
        row->showType();
        row->showValue();
    }
    setWindowModified(true);
}

void VParticle::contextScrambleGUID()
{
    DMXElement *element = contextItem ? contextItem->element() : nullptr;
    if (!element)
        return;
    element->guid = QUuid::createUuid();
    const QList<VParticleTreeWidgetItem *> shown = m_rows->rowsOfValue(element);
    for (VParticleTreeWidgetItem *row : shown)
        row->showValue();
    setWindowModified(true);
}

void VParticle::contextDelete()
{
    VParticleTreeWidgetItem *row = contextItem;
    VParticleTreeWidgetItem *parent = row ? row->parentRow() : nullptr;
    if (!document || !row || !parent)
        return;
    const uint parentType = parent->attributeType();
    const uint type = row->attributeType();
    if (parentType == ATTRIBUTE_ELEMENT_ARRAY) {
        if (DMXElement *element = row->element())
            deleteElements({element});
        else
            deleteNullItem(row);
    } else if (isValueArray(parentType)) {
        deleteArrayItem(row);
    } else if (parentType == ATTRIBUTE_ELEMENT) {
        if (type == ATTRIBUTE_ELEMENT_ARRAY) {
            // A copy: the list shrinks while its elements are taken out.
            const DMXElementList items = *row->attribute->elementList();
            deleteElements(items);
        } else if (type == ATTRIBUTE_ELEMENT) {
            DMXElement *owner = parent->element();
            if (owner->type != latin1(PCFEditing::Names::ChildEntryType)) {
                warn(latin1(VParticleText::GenericElementWarning));
                return;
            }
            deleteElements({owner});
        } else {
            deleteAttribute(row);
        }
    } else {
        return;
    }
    contextItem = contextParent = nullptr;
}

void VParticle::deleteElements(const QList<DMXElement *> &elements)
{
    PCFEditing::Removal removal;
    // Last first, as the list shrinks; an element already gone with an
    // earlier one is skipped.
    for (int i = elements.size() - 1; i >= 0; --i) {
        if (!removal.removed.contains(elements[i]))
            PCFEditing::takeElement(document, elements[i], &removal);
    }
    if (removal.tops.isEmpty())
        return;
    // Rows go before the elements they show are freed.
    m_rows->destroyRows(m_rows->rowsOfElements(removal.removed));
    PCFEditing::freeRemoval(&removal);
    setWindowModified(true);
}

void VParticle::deleteNullItem(VParticleTreeWidgetItem *row)
{
    // Nulls are told apart by place: every row of the list holds its item
    // rows in the list's order.
    VParticleTreeWidgetItem *parent = row->parentRow();
    const int index = parent->indexOfChild(row);
    const QList<VParticleTreeWidgetItem *> shown = m_rows->rowsOfAttribute(parent->attribute);
    if (!PCFEditing::removeNullItem(parent->attribute, index))
        return;
    QList<VParticleTreeWidgetItem *> doomed;
    for (VParticleTreeWidgetItem *list : shown) {
        if (index < list->childCount())
            doomed.append(static_cast<VParticleTreeWidgetItem *>(list->child(index)));
    }
    m_rows->destroyRows(doomed);
    setWindowModified(true);
}

void VParticle::deleteArrayItem(VParticleTreeWidgetItem *row)
{
    DMXAttribute *array = row->parentRow()->attribute;
    void *item = row->attribute ? row->attribute->value() : nullptr;
    m_rows->destroyRows(m_rows->rowsOfValue(item));
    if (!PCFEditing::removeArrayItem(array, item))
        warn(latin1(VParticleText::NotFoundWarning));
    // The surviving item rows are numbered after the item has left the list.
    const QList<VParticleTreeWidgetItem *> shown = m_rows->rowsOfAttribute(array);
    for (VParticleTreeWidgetItem *other : shown) {
        other->showValue();
        VParticleTreeRows::relabelItems(other);
    }
    setWindowModified(true);
}

void VParticle::deleteAttribute(VParticleTreeWidgetItem *row)
{
    DMXAttribute *attribute = row->attribute;
    const bool found = PCFEditing::takeAttribute(row->parentRow()->element(), attribute);
    m_rows->destroyRows(m_rows->rowsOfAttribute(attribute));
    if (found)
        delete attribute;
    else
        warn(latin1(VParticleText::NotFoundWarning));
    setWindowModified(true);
}

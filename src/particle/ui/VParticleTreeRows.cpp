#include "VParticleTreeRows.h"

#include "CFilePCF.h"
#include "PCFEditing.h"
#include "VParticleTreeWidgetItem.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

VParticleTreeRows::VParticleTreeRows(QTreeWidget *tree)
    : m_tree(tree)
{}

void VParticleTreeRows::fill(const CFilePCF *document)
{
    m_tree->clear();
    m_listed.clear();
    m_rowCount = 0;
    const DMXElement *root = document ? document->root() : nullptr;
    if (!root)
        return;
    m_listed.insert(root);
    for (DMXAttribute *attribute : root->attributes) {
        if (attribute)
            addAttributeRow(nullptr, attribute, false);
    }
    m_tree->expandToDepth(0);
}

VParticleTreeWidgetItem *VParticleTreeRows::addAttributeRow(QTreeWidgetItem *parent,
                                                            DMXAttribute *attribute, bool owns)
{
    // A top-level row is built with everything below it before it joins the
    // tree, which spares the view one update per row.
    auto *row = new VParticleTreeWidgetItem(parent, attribute);
    ++m_rowCount;
    row->showAll();
    row->setFlags(row->flags() | Qt::ItemIsEditable);
    row->ownsAttribute = owns;
    addChildRows(row);
    if (!parent)
        m_tree->addTopLevelItem(row);
    return row;
}

void VParticleTreeRows::addChildRows(VParticleTreeWidgetItem *row)
{
    DMXAttribute *attribute = row->attribute;
    if (!attribute)
        return;
    if (DMXElement *element = attribute->element()) {
        if (!expandable(row))
            return;
        row->expanded = true;
        m_listed.insert(element);
        for (DMXAttribute *child : qAsConst(element->attributes)) {
            if (child)
                addAttributeRow(row, child, false);
        }
    } else if (DMX::isArray(attribute->type())) {
        addArrayItemRows(row, attribute);
    }
}

bool VParticleTreeRows::expandable(const VParticleTreeWidgetItem *row) const
{
    const DMXElement *element = row->element();
    int depth = 0;
    for (const VParticleTreeWidgetItem *above = row->parentRow(); above;
         above = above->parentRow()) {
        if (above->element() == element)
            return false;
        if (above->element() && ++depth >= MaxDepth)
            return false;
    }
    return !m_listed.contains(element) || m_rowCount < RepeatBudget;
}

void VParticleTreeRows::addArrayItemRows(VParticleTreeWidgetItem *row, DMXAttribute *array)
{
    const int count = array ? array->itemCount() : 0;
    for (int i = 0; i < count; ++i)
        addItemRow(row, i);
}

VParticleTreeWidgetItem *VParticleTreeRows::addItemRow(VParticleTreeWidgetItem *row, int index)
{
    DMXAttribute *wrapper = PCFEditing::newItemWrapper(row->attribute, index);
    return wrapper ? addAttributeRow(row, wrapper, true) : nullptr;
}

QList<VParticleTreeWidgetItem *> VParticleTreeRows::rows() const
{
    QList<VParticleTreeWidgetItem *> out;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        out.append(static_cast<VParticleTreeWidgetItem *>(*it));
    return out;
}

QList<VParticleTreeWidgetItem *>
VParticleTreeRows::rowsOfAttribute(const DMXAttribute *attribute) const
{
    QList<VParticleTreeWidgetItem *> out;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        auto *row = static_cast<VParticleTreeWidgetItem *>(*it);
        if (row->attribute == attribute)
            out.append(row);
    }
    return out;
}

QList<VParticleTreeWidgetItem *> VParticleTreeRows::rowsOfValue(const void *value) const
{
    QList<VParticleTreeWidgetItem *> out;
    if (!value)
        return out;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        auto *row = static_cast<VParticleTreeWidgetItem *>(*it);
        if (row->attribute && row->attribute->value() == value)
            out.append(row);
    }
    return out;
}

QList<VParticleTreeWidgetItem *>
VParticleTreeRows::rowsOfElements(const QSet<DMXElement *> &elements) const
{
    QList<VParticleTreeWidgetItem *> out;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        auto *row = static_cast<VParticleTreeWidgetItem *>(*it);
        if (row->element() && elements.contains(row->element()))
            out.append(row);
    }
    return out;
}

void VParticleTreeRows::destroyRows(const QList<VParticleTreeWidgetItem *> &doomed)
{
    // Decided before anything is deleted: rows inside a doomed row go with it
    // and must not be looked at afterwards.
    const QSet<VParticleTreeWidgetItem *> marked(doomed.cbegin(), doomed.cend());
    QList<VParticleTreeWidgetItem *> tops;
    QSet<VParticleTreeWidgetItem *> topSet;
    QList<VParticleTreeWidgetItem *> parents;
    QSet<VParticleTreeWidgetItem *> parentSet;
    for (VParticleTreeWidgetItem *row : doomed) {
        bool inside = topSet.contains(row);
        for (VParticleTreeWidgetItem *above = row->parentRow(); above && !inside;
             above = above->parentRow())
            inside = marked.contains(above);
        if (inside)
            continue;
        topSet.insert(row);
        tops.append(row);
        VParticleTreeWidgetItem *parent = row->parentRow();
        if (parent && !parentSet.contains(parent)) {
            parentSet.insert(parent);
            parents.append(parent);
        }
    }
    qDeleteAll(tops);
    // The parents of top rows lie outside every doomed row, so they survive.
    for (VParticleTreeWidgetItem *parent : qAsConst(parents)) {
        if (DMX::isArray(parent->attributeType())) {
            parent->showValue();
            relabelItems(parent);
        }
    }
}

void VParticleTreeRows::relabelItems(VParticleTreeWidgetItem *row)
{
    const DMXAttribute *array = row->attribute;
    if (!array || !DMX::isArray(array->type()) || array->type() == ATTRIBUTE_ELEMENT_ARRAY)
        return;
    for (int i = 0; i < row->childCount(); ++i) {
        auto *item = static_cast<VParticleTreeWidgetItem *>(row->child(i));
        const QString label = PCFEditing::itemName(array, i);
        if (item->ownsAttribute && item->attribute)
            item->attribute->setName(label);
        item->setText(0, label);
    }
}

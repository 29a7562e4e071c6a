#include "VParticleTreeWidgetItem.h"

#include "DMXAttribute.h"
#include "PCFEditing.h"

#include <QSignalBlocker>
#include <QTreeWidget>

VParticleTreeWidgetItem::VParticleTreeWidgetItem(QTreeWidget *parent, DMXAttribute *shownAttribute)
    : QTreeWidgetItem(parent)
    , attribute(shownAttribute)
{}

VParticleTreeWidgetItem::VParticleTreeWidgetItem(QTreeWidgetItem *parent,
                                                 DMXAttribute *shownAttribute)
    : QTreeWidgetItem(parent)
    , attribute(shownAttribute)
{}

VParticleTreeWidgetItem::~VParticleTreeWidgetItem()
{
    if (ownsAttribute)
        delete attribute;
}

VParticleTreeWidgetItem *VParticleTreeWidgetItem::parentRow() const
{
    return static_cast<VParticleTreeWidgetItem *>(parent());
}

DMXElement *VParticleTreeWidgetItem::element() const
{
    return attribute ? attribute->element() : nullptr;
}

uint VParticleTreeWidgetItem::attributeType() const
{
    return attribute ? attribute->type() : ATTRIBUTE_UNKNOWN;
}

void VParticleTreeWidgetItem::showName()
{
    showText(0, PCFEditing::rowName(attribute));
}

void VParticleTreeWidgetItem::showType()
{
    showText(1, PCFEditing::rowType(attribute));
}

void VParticleTreeWidgetItem::showValue()
{
    showText(2, PCFEditing::rowValue(attribute));
}

void VParticleTreeWidgetItem::showText(int column, const QString &text)
{
    // A refresh is no edit: a row whose editor was left unchanged is still
    // armed and would otherwise read the refreshed (rounded) text back in.
    const QSignalBlocker blocker(treeWidget());
    setText(column, text);
}

void VParticleTreeWidgetItem::showAll()
{
    showName();
    showType();
    showValue();
}

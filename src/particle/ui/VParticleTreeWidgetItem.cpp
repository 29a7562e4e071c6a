#include "VParticleTreeWidgetItem.h"

#include "DMXAttribute.h"
#include "PCFEditing.h"

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
    return attribute ? attribute->type : ATTRIBUTE_UNKNOWN;
}

void VParticleTreeWidgetItem::showName()
{
    setText(0, PCFEditing::rowName(attribute));
}

void VParticleTreeWidgetItem::showType()
{
    setText(1, PCFEditing::rowType(attribute));
}

void VParticleTreeWidgetItem::showValue()
{
    setText(2, PCFEditing::rowValue(attribute));
}

void VParticleTreeWidgetItem::showAll()
{
    showName();
    showType();
    showValue();
}

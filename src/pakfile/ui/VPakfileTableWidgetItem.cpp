#include "VPakfileTableWidgetItem.h"

#include "CPackageHierarchyNode.h"
#include "VTableRowColor.h"

VPakfileTableWidgetItem::VPakfileTableWidgetItem(const QString &text, CPackageHierarchyNode *entry)
    : QTableWidgetItem(text)
    , node(entry)
{}

VPakfileTableWidgetItem::State VPakfileTableWidgetItem::state(const CPackageHierarchyNode *entry)
{
    if (!entry)
        return State::NoNode;
    if (entry->deleted)
        return State::Deleted;
    if (!entry->hasFile())
        return State::New;
    return entry->modified ? State::Modified : State::Stored;
}

QColor VPakfileTableWidgetItem::color(State state)
{
    switch (state) {
    case State::NoNode:
        return QColor(192, 192, 192);
    case State::Deleted:
        return QColor(255, 192, 192);
    case State::Modified:
        return QColor(192, 255, 255);
    case State::Stored:
        return QColor(192, 255, 192);
    case State::New:
        break;
    }
    return QColor(255, 255, 192);
}

void VPakfileTableWidgetItem::updateColor(int row)
{
    paintTableRow(this, color(state()), row);
}

#pragma once

#include <QColor>
#include <QTableWidgetItem>

class CPackageHierarchyNode;

// The "Name" cell of a pakfile table row: carries the entry the row shows
// (not owned) and colours the row by the entry's state.
class VPakfileTableWidgetItem : public QTableWidgetItem
{
public:
    enum class State
    {
        NoNode,
        Deleted,  // marked for deletion
        Modified, // stored, with pending data
        Stored,   // stored, unchanged
        New,      // not stored yet (added since the map was opened or saved)
    };

    explicit VPakfileTableWidgetItem(const QString &text, CPackageHierarchyNode *entry = nullptr);

    // Decided in the order of the enumeration.
    static State state(const CPackageHierarchyNode *entry);
    static QColor color(State state);
    State state() const { return state(node); }
    // Row: where the item sits, when the caller knows it.
    void updateColor(int row = -1);

    CPackageHierarchyNode *node = nullptr;
};

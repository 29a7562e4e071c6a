#pragma once

#include <QTreeWidgetItem>

class DMXAttribute;
class DMXElement;

// One row of the particle editor's tree; it shows one attribute. Rows of
// array items and of elements an edit added show a stand-alone wrapper made
// for the row (`ownsAttribute` set), which never owns its value, so
// destroying a row never frees document data.
class VParticleTreeWidgetItem : public QTreeWidgetItem
{
public:
    VParticleTreeWidgetItem(QTreeWidget *parent, DMXAttribute *shownAttribute);
    VParticleTreeWidgetItem(QTreeWidgetItem *parent, DMXAttribute *shownAttribute);
    ~VParticleTreeWidgetItem() override;
    VParticleTreeWidgetItem(const VParticleTreeWidgetItem &) = delete;
    VParticleTreeWidgetItem &operator=(const VParticleTreeWidgetItem &) = delete;

    // The row's parent row, or null at top level.
    VParticleTreeWidgetItem *parentRow() const;
    // The element an ELEMENT row shows, else null.
    DMXElement *element() const;
    // The type code of the attribute; 0 without one.
    uint attributeType() const;

    // Column texts from the attribute: Name, Data Type, Value.
    void showName();
    void showType();
    void showValue();
    void showAll();

    bool editArmed = false;
    bool editorOpen = false;
    bool ownsAttribute = false;
    DMXAttribute *attribute = nullptr;
    // An element row whose attributes are listed below it; false for a
    // reference shown as a leaf (see VParticleTreeRows).
    bool expanded = false;

private:
    // Sets a cell without the tree's change notification.
    void showText(int column, const QString &text);
};

#pragma once

#include <QList>
#include <QSet>

class CFilePCF;
class DMXAttribute;
class DMXElement;
class QTreeWidget;
class QTreeWidgetItem;
class VParticleTreeWidgetItem;

// Builds and finds the rows of the particle editor's tree. An element is
// listed under every reference to it, so one attribute may have several rows;
// the lookups return all of them.
//
// A reference is shown as a leaf (name, type and GUID, no attributes) when it
// repeats an element on its own path (a cycle), lies deeper than MaxDepth
// element levels, or repeats an element already listed elsewhere once the
// tree holds more than RepeatBudget rows; so every file gives a finite tree of
// bounded size.
class VParticleTreeRows
{
public:
    static constexpr int MaxDepth = 200;
    static constexpr int RepeatBudget = 500000;

    explicit VParticleTreeRows(QTreeWidget *tree);

    // Clears the tree and lists the root's attributes at top level.
    void fill(const CFilePCF *document);

    // A row for the attribute under `parent` (top level when null), with the
    // rows below it. With `owns` the row deletes the attribute.
    VParticleTreeWidgetItem *addAttributeRow(QTreeWidgetItem *parent, DMXAttribute *attribute,
                                             bool owns);
    // One owned wrapper row per item of the array.
    void addArrayItemRows(VParticleTreeWidgetItem *row, DMXAttribute *array);
    // The row of item `index` of the array shown by `row`.
    VParticleTreeWidgetItem *addItemRow(VParticleTreeWidgetItem *row, int index);

    // Every row, parents before children.
    QList<VParticleTreeWidgetItem *> rows() const;
    // Rows whose attribute is this one.
    QList<VParticleTreeWidgetItem *> rowsOfAttribute(const DMXAttribute *attribute) const;
    // Rows whose attribute holds this value object (an element, an item, a
    // scalar); wrappers of the same item count as showing it.
    QList<VParticleTreeWidgetItem *> rowsOfValue(const void *value) const;
    // Rows of ELEMENT attributes pointing at any of these elements.
    QList<VParticleTreeWidgetItem *> rowsOfElements(const QSet<DMXElement *> &elements) const;

    // Destroys the rows (a row inside another one goes with it), then shows
    // the new item count of every surviving parent and renumbers the item
    // rows of value arrays.
    void destroyRows(const QList<VParticleTreeWidgetItem *> &doomed);
    // Names the item rows below an array row "name[index]" in order.
    static void relabelItems(VParticleTreeWidgetItem *row);

private:
    void addChildRows(VParticleTreeWidgetItem *row);
    bool expandable(const VParticleTreeWidgetItem *row) const;

    QTreeWidget *m_tree;
    // Filled while the tree is built, to tell repeats from first listings.
    QSet<const DMXElement *> m_listed;
    int m_rowCount = 0;
};

#pragma once

#include "CHierarchyNode.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cstddef>

class IPackageDelegate;

// A node of a package tree: one entry (file) or folder of a package, with its
// index in the owning delegate's node table and the edit staged for it.
//
// Children are found by name without regard to case: in a small folder by
// looking at each, in a larger one through an index kept beside the children
// (CPackageNameIndex), so lookups and inserts stay fast in folders with tens
// of thousands of entries. The name is therefore only changed through
// setName().
class CPackageHierarchyNode : public CHierarchyNode
{
public:
    CPackageHierarchyNode() = default;
    // Deletes the pending data, then the subtree.
    ~CPackageHierarchyNode() override;

    // Nodes come from a pool of their own: a package can hold hundreds of
    // thousands, and a heap block each costs time and room. Package trees
    // are made and dropped on the interface thread only.
    static void *operator new(std::size_t size);
    static void operator delete(void *pointer, std::size_t size);

    const CPackageHierarchyNode *parent() const override;
    CPackageHierarchyNode *parent() override;
    CPackageHierarchyNode *root() override;
    const CPackageHierarchyNode *child(unsigned index) const override;
    CPackageHierarchyNode *child(unsigned index) override;
    const CPackageHierarchyNode *first() const override;
    CPackageHierarchyNode *first() override;
    const CPackageHierarchyNode *firstChild() const override { return first(); }
    CPackageHierarchyNode *firstChild() override { return first(); }
    const CPackageHierarchyNode *last() const override;
    CPackageHierarchyNode *last() override;
    const CPackageHierarchyNode *lastChild() const override { return last(); }
    CPackageHierarchyNode *lastChild() override { return last(); }

    const QString &name() const { return m_name; }
    // False for an empty name or one another sibling already has (ignoring
    // case).
    bool setName(const QString &name);

    // Names from just below the root down to this node (to its parent when
    // includeSelf is false), joined by "/". The root's name is never part.
    QString path(bool includeSelf) const;

    // First direct child, in child order, whose name equals name ignoring
    // case; null for a file or when none matches.
    CPackageHierarchyNode *childByName(const QString &name) const;
    // False for null, an unnamed child or a name already taken here;
    // otherwise insertChild(child, index).
    bool addChild(CPackageHierarchyNode *child, int index = -1);

    // Walks the components from this node by childByName (empty components
    // skipped); null for a file, an empty list or a missing component.
    CPackageHierarchyNode *findNode(const QStringList &components);
    // As above, and null unless the result is a file (leaf) or folder (!leaf).
    CPackageHierarchyNode *findNode(const QStringList &components, bool leaf);
    // Finds or creates the folders and the last node (a file when leaf).
    // Null when a component is taken by a node of the wrong kind; folders
    // created on the way stay.
    CPackageHierarchyNode *createPath(const QStringList &components, bool leaf);
    // CHierarchyNode::reserveChildren(), and room in the name index.
    void reserveChildren(int more);
    // createPath() of the one component `name`.
    CPackageHierarchyNode *createChild(const QString &name, bool leaf);

    // Stages data (a copy) as the entry's new bytes or, with isReference, as
    // the NUL-ended path of a local file holding them.
    void setPendingData(const QByteArray &data, bool isReference);
    // Re-reads the referenced file's size; false when not a reference or the
    // file cannot be opened (size left unchanged).
    bool refreshReferencedSize();
    // Drops the pending data; only when the owner has stored data for the
    // entry (otherwise the pending data is all there is and stays).
    bool revert();
    // The owner has stored data for this entry.
    bool hasFile() const;

    bool hasPendingData() const { return pendingData != nullptr; }
    // The local path named by a reference: pending bytes up to the first NUL.
    QString referencedPath() const;

    // Staged replacement of the entry's bytes; owned, null when none.
    QByteArray *pendingData = nullptr;
    // Index in the owner's node table; -1 when not in it.
    int entryIndex = -1;
    // Pending data was set by an edit.
    bool modified = false;
    // pendingData holds a NUL-ended local path, not the bytes.
    bool isReference = false;
    // Size of the referenced local file when the data was set; 0 otherwise.
    int referencedSize = 0;
    // Marked for deletion until the next flush.
    bool deleted = false;
    // The delegate that owns the node; every edit operation checks it.
    IPackageDelegate *owner = nullptr;

protected:
    void childAttached(CHierarchyNode *child) override;
    void childDetaching(CHierarchyNode *child) override;

private:
    class NameIndex;

    // The child `name`, found or else appended (a file when leaf); null for
    // a file node or an empty name.
    CPackageHierarchyNode *findOrAddChild(const QString &name, bool leaf);
    void indexChild(CPackageHierarchyNode *child);
    void unindexChild(CPackageHierarchyNode *child);
    NameIndex *nameIndex() const;
    // The index of a folder that has outgrown a search child by child.
    NameIndex *makeNameIndex();

    QString m_name;
};

#pragma once

#include <QPair>

#include <memory>
#include <vector>

// Generic tree node. A node without a children vector is a file (leaf); a
// node with one, even an empty one, is a folder. Every node keeps the number
// of folders and files below it, at all levels, so views can show totals
// without walking the tree; every change of shape updates the whole parent
// chain.
//
// A node owns its children: deleting a node deletes its subtree and detaches
// it from its parent first.
class CHierarchyNode
{
public:
    CHierarchyNode() = default;
    virtual ~CHierarchyNode();

    CHierarchyNode(const CHierarchyNode &) = delete;
    CHierarchyNode &operator=(const CHierarchyNode &) = delete;

    virtual const CHierarchyNode *parent() const { return m_parent; }
    virtual CHierarchyNode *parent() { return m_parent; }
    // The topmost node above this one; this node when it has no parent.
    virtual CHierarchyNode *root();
    // False for null; otherwise whether both nodes share the same root.
    virtual bool sameTree(CHierarchyNode *other);

    // Inserts before position index (appends when index is not below the
    // number of children, so -1 appends). A child with another parent is
    // detached from it first. False for a file, a null child or a child
    // already here. Inserting a node under its own descendant is not guarded.
    virtual bool insertChild(CHierarchyNode *child, unsigned index);

    // Null for a file or an index past the children.
    virtual const CHierarchyNode *child(unsigned index) const;
    virtual CHierarchyNode *child(unsigned index);
    // First/last child; only for a folder with at least one child (null
    // otherwise).
    virtual const CHierarchyNode *first() const;
    virtual CHierarchyNode *first();
    virtual const CHierarchyNode *firstChild() const { return first(); }
    virtual CHierarchyNode *firstChild() { return first(); }
    virtual const CHierarchyNode *last() const;
    virtual CHierarchyNode *last();
    virtual const CHierarchyNode *lastChild() const { return last(); }
    virtual CHierarchyNode *lastChild() { return last(); }

    // Folder to file: deletes every child. Nothing for a file.
    virtual void makeLeaf();
    // File to empty folder. Nothing for a folder.
    virtual void makeFolder();

    // Room for `more` children beyond those a folder has (nothing for a
    // file): a reader that knows a folder's size spares its growth.
    void reserveChildren(int more);

    bool isFolder() const { return m_children != nullptr; }
    bool isLeaf() const { return m_children == nullptr; }
    int childCount() const { return m_children ? int(m_children->size()) : 0; }
    // Position among the parent's children, -1 without a parent. Linear in
    // the number of siblings.
    int row() const;

    // Adds to this node's counts (when includeSelf) and to every ancestor's.
    void addToCounts(int folders, int files, bool includeSelf);
    // Removes a direct child (others keep their order) and takes its share
    // from this node and every ancestor; nothing when child is not a direct
    // child of this node.
    void detachChild(CHierarchyNode *child);

    int descendantCount() const { return m_folderCount + m_fileCount; }
    QPair<int, int> counts() const { return qMakePair(m_folderCount, m_fileCount); }
    int folderCount() const { return m_folderCount; }
    int fileCount() const { return m_fileCount; }

    // True when node is a direct child (depth 0) or lies within depth further
    // levels below a child folder; -1 means any depth.
    bool contains(const CHierarchyNode *node, int depth) const;
    // Folders below this node in pre-order, down to depth further levels
    // (-1 = all levels).
    std::vector<CHierarchyNode *> folders(int depth) const;
    // Files below this node in tree order, down to depth further levels
    // (-1 = all levels).
    std::vector<CHierarchyNode *> files(int depth) const;

protected:
    // What a subclass keeps beside a folder's children (a lookup index, say):
    // owned by the folder and dropped with its children.
    class FolderExtra
    {
    public:
        virtual ~FolderExtra() = default;
    };
    // Null for a file or a folder without one.
    FolderExtra *folderExtra() const { return m_children ? m_children->extra.get() : nullptr; }
    // Folders only; takes ownership.
    void setFolderExtra(FolderExtra *extra);

    // Called after a child joined (child already in the vector, parent set)
    // and before a child leaves (child still in the vector). Subclasses keep
    // their lookup indexes with them.
    virtual void childAttached(CHierarchyNode *child);
    virtual void childDetaching(CHierarchyNode *child);
    // Detaches this node from its parent, if any. Subclasses call it at the
    // start of their destructor so that the parent's hooks still see a whole
    // object.
    void detachFromParent();

    const std::vector<CHierarchyNode *> *childVector() const { return m_children; }

private:
    // The children, and what the subclass keeps beside them: a node carries
    // one pointer for both, and a file none at all.
    struct Folder : std::vector<CHierarchyNode *>
    {
        std::unique_ptr<FolderExtra> extra;
    };

    void collect(std::vector<CHierarchyNode *> &out, int depth, bool wantFolders) const;
    // Deletes the whole subtree without detaching its nodes one by one.
    void deleteChildren();

    CHierarchyNode *m_parent = nullptr;
    Folder *m_children = nullptr;
    int m_folderCount = 0;
    int m_fileCount = 0;
};

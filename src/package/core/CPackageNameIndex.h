#pragma once

#include <QString>

#include <vector>

class CPackageHierarchyNode;

// Nodes by name without regard to case (names are equal when their case
// foldings are), for the children of one large package folder. An open
// addressing table of node pointers and name hashes: nothing is allocated
// per node, since a package can hold hundreds of thousands of entries. Names
// of plain ASCII, the usual case, are folded on the fly.
//
// A node's name must not change while it is indexed.
class CPackageNameIndex
{
public:
    // Hash of the case folding of a name.
    static uint hash(const QString &name);
    // The case foldings of the two names are equal.
    static bool equal(const QString &a, const QString &b);

    int size() const { return m_used; }
    // Room for `count` nodes in all without growing.
    void reserve(int count);
    void insert(CPackageHierarchyNode *node);
    // Nothing when the node is not indexed.
    void remove(CPackageHierarchyNode *node);
    // An indexed node of that name, or null; `more` tells whether there are
    // others (same-named siblings exist only when a caller bypassed the
    // name check).
    CPackageHierarchyNode *find(const QString &name, bool *more = nullptr) const;

private:
    // Re-places every live node in a table of `capacity` slots.
    void rebuild(size_t capacity);
    void place(CPackageHierarchyNode *node, uint hash);
    // Slot of the node, or -1.
    int slotOf(const CPackageHierarchyNode *node) const;

    std::vector<CPackageHierarchyNode *> m_slots;
    std::vector<uint> m_hashes;
    int m_used = 0;
    int m_removed = 0;
    // The name last looked for and its hash: a node is usually inserted
    // right after its name was not found.
    mutable QString m_lastName;
    mutable uint m_lastHash = 0;
};

#include "CHierarchyNode.h"

#include <algorithm>

CHierarchyNode::~CHierarchyNode()
{
    detachFromParent();
    deleteChildren();
    delete m_children;
}

void CHierarchyNode::detachFromParent()
{
    if (m_parent)
        m_parent->detachChild(this);
}

void CHierarchyNode::deleteChildren()
{
    if (!m_children)
        return;
    // Deleted folder by folder without recursion: a child that detached
    // itself would search its parent's vector (quadratic for a large
    // folder), and recursive deletion could exhaust the stack on a deep tree
    // built from a hostile directory. Each folder's children are taken out
    // of it (a swap, no copy) before it goes, so no node is cut loose twice
    // and nothing the size of the tree is allocated to delete it. This node's
    // own counts are settled by the caller.
    std::vector<std::vector<CHierarchyNode *>> batches(1);
    batches.back().swap(*m_children);
    // What the subclass kept about the children goes with them.
    m_children->extra.reset();
    while (!batches.empty()) {
        const std::vector<CHierarchyNode *> batch = std::move(batches.back());
        batches.pop_back();
        for (CHierarchyNode *node : batch) {
            if (!node)
                continue;
            node->m_parent = nullptr;
            if (node->m_children) {
                batches.emplace_back();
                batches.back().swap(*node->m_children);
                node->m_children->extra.reset();
            }
            delete node;
        }
    }
}

CHierarchyNode *CHierarchyNode::root()
{
    CHierarchyNode *node = this;
    while (node->parent())
        node = node->parent();
    return node;
}

bool CHierarchyNode::sameTree(CHierarchyNode *other)
{
    return other && other->root() == root();
}

bool CHierarchyNode::insertChild(CHierarchyNode *child, unsigned index)
{
    if (!m_children || !child || child->m_parent == this || child == this)
        return false;
    if (child->m_parent)
        child->m_parent->detachChild(child);
    child->m_parent = this;
    if (index >= m_children->size())
        m_children->push_back(child);
    else
        m_children->insert(m_children->begin() + index, child);
    addToCounts(child->m_folderCount + (child->isFolder() ? 1 : 0),
                child->m_fileCount + (child->isFolder() ? 0 : 1), true);
    childAttached(child);
    return true;
}

const CHierarchyNode *CHierarchyNode::child(unsigned index) const
{
    if (!m_children || index >= m_children->size())
        return nullptr;
    return (*m_children)[index];
}

CHierarchyNode *CHierarchyNode::child(unsigned index)
{
    if (!m_children || index >= m_children->size())
        return nullptr;
    return (*m_children)[index];
}

const CHierarchyNode *CHierarchyNode::first() const
{
    return m_children && !m_children->empty() ? m_children->front() : nullptr;
}

CHierarchyNode *CHierarchyNode::first()
{
    return m_children && !m_children->empty() ? m_children->front() : nullptr;
}

const CHierarchyNode *CHierarchyNode::last() const
{
    return m_children && !m_children->empty() ? m_children->back() : nullptr;
}

CHierarchyNode *CHierarchyNode::last()
{
    return m_children && !m_children->empty() ? m_children->back() : nullptr;
}

void CHierarchyNode::makeLeaf()
{
    if (!m_children)
        return;
    // Take every child's share at once instead of child by child.
    if (m_parent)
        m_parent->addToCounts(-m_folderCount, -m_fileCount, true);
    std::vector<CHierarchyNode *> snapshot = *m_children;
    for (CHierarchyNode *child : snapshot)
        childDetaching(child);
    deleteChildren();
    m_folderCount = 0;
    m_fileCount = 0;
    delete m_children;
    m_children = nullptr;
    if (m_parent)
        m_parent->addToCounts(-1, 1, true);
}

void CHierarchyNode::makeFolder()
{
    if (m_children)
        return;
    m_children = new Folder();
    if (m_parent)
        m_parent->addToCounts(1, -1, true);
}

void CHierarchyNode::reserveChildren(int more)
{
    if (m_children && more > 0)
        m_children->reserve(m_children->size() + size_t(more));
}

void CHierarchyNode::setFolderExtra(FolderExtra *extra)
{
    if (m_children)
        m_children->extra.reset(extra);
    else
        delete extra;
}

int CHierarchyNode::row() const
{
    if (!m_parent)
        return -1;
    const std::vector<CHierarchyNode *> &siblings = *m_parent->m_children;
    const auto it = std::find(siblings.begin(), siblings.end(), this);
    return it == siblings.end() ? -1 : int(it - siblings.begin());
}

void CHierarchyNode::addToCounts(int folders, int files, bool includeSelf)
{
    for (CHierarchyNode *node = includeSelf ? this : m_parent; node; node = node->m_parent) {
        node->m_folderCount += folders;
        node->m_fileCount += files;
    }
}

void CHierarchyNode::detachChild(CHierarchyNode *child)
{
    if (!child || child->m_parent != this || !m_children)
        return;
    // Recently added children are the likeliest to go again; search from the
    // back.
    const auto rit = std::find(m_children->rbegin(), m_children->rend(), child);
    if (rit == m_children->rend())
        return;
    childDetaching(child);
    m_children->erase(std::next(rit).base());
    addToCounts(-(child->m_folderCount + (child->isFolder() ? 1 : 0)),
                -(child->m_fileCount + (child->isFolder() ? 0 : 1)), true);
    child->m_parent = nullptr;
}

bool CHierarchyNode::contains(const CHierarchyNode *node, int depth) const
{
    if (!node || !m_children)
        return false;
    // Walk up from the node instead of down the tree: bounded by its depth.
    int level = 0;
    for (const CHierarchyNode *p = node->m_parent; p; p = p->m_parent, ++level) {
        if (p == this)
            return depth < 0 || level <= depth;
    }
    return false;
}

std::vector<CHierarchyNode *> CHierarchyNode::folders(int depth) const
{
    std::vector<CHierarchyNode *> out;
    collect(out, depth, true);
    return out;
}

std::vector<CHierarchyNode *> CHierarchyNode::files(int depth) const
{
    std::vector<CHierarchyNode *> out;
    collect(out, depth, false);
    return out;
}

void CHierarchyNode::collect(std::vector<CHierarchyNode *> &out, int depth, bool wantFolders) const
{
    if (!m_children)
        return;
    // Iterative pre-order walk (deep trees must not exhaust the stack). Each
    // frame is a folder, the position of its next child and its depth budget.
    struct Frame
    {
        const CHierarchyNode *folder;
        size_t next;
        int depth;
    };
    std::vector<Frame> stack{{this, 0, depth}};
    while (!stack.empty()) {
        Frame &top = stack.back();
        if (top.next >= top.folder->m_children->size()) {
            stack.pop_back();
            continue;
        }
        CHierarchyNode *child = (*top.folder->m_children)[top.next++];
        if (child->isFolder()) {
            if (wantFolders)
                out.push_back(child);
            if (top.depth != 0)
                stack.push_back({child, 0, top.depth - 1});
        } else if (!wantFolders) {
            out.push_back(child);
        }
    }
}

void CHierarchyNode::childAttached(CHierarchyNode *) {}

void CHierarchyNode::childDetaching(CHierarchyNode *) {}

#include "CPackageHierarchyNode.h"

#include "CPackageNameIndex.h"
#include "IPackageDelegate.h"

#include <QFile>

#include <limits>
#include <memory>
#include <typeinfo>
#include <vector>

namespace {

// Folders up to this size are searched child by child: an index would cost
// more than it saves.
constexpr int SmallFolder = 8;

// Under AddressSanitizer every node is a heap block of its own, so that a
// node used after it was deleted is still caught.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool PooledNodes = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool PooledNodes = false;
#else
constexpr bool PooledNodes = true;
#endif
#else
constexpr bool PooledNodes = true;
#endif

// Blocks for nodes, carved from slabs and handed back to a free list. The
// slabs stay for the rest of the run (a package opened again reuses them).
class NodePool
{
public:
    static NodePool &instance()
    {
        // Never destroyed: a node may outlive every static object.
        static NodePool *pool = new NodePool;
        return *pool;
    }

    void *take()
    {
        if (!m_free)
            addSlab();
        void *block = m_free;
        m_free = *static_cast<void **>(block);
        return block;
    }

    void give(void *block)
    {
        *static_cast<void **>(block) = m_free;
        m_free = block;
    }

private:
    static constexpr std::size_t BlockSize = sizeof(CPackageHierarchyNode);
    static constexpr std::size_t SlabBlocks = 1024;

    void addSlab()
    {
        m_slabs.emplace_back(new char[BlockSize * SlabBlocks]);
        char *slab = m_slabs.back().get();
        for (std::size_t i = SlabBlocks; i-- > 0;)
            give(slab + i * BlockSize);
    }

    std::vector<std::unique_ptr<char[]>> m_slabs;
    void *m_free = nullptr;
};

} // namespace

void *CPackageHierarchyNode::operator new(std::size_t size)
{
    if (!PooledNodes || size != sizeof(CPackageHierarchyNode))
        return ::operator new(size);
    return NodePool::instance().take();
}

void CPackageHierarchyNode::operator delete(void *pointer, std::size_t size)
{
    if (!pointer)
        return;
    if (!PooledNodes || size != sizeof(CPackageHierarchyNode))
        ::operator delete(pointer);
    else
        NodePool::instance().give(pointer);
}

class CPackageHierarchyNode::NameIndex : public CHierarchyNode::FolderExtra,
                                         public CPackageNameIndex
{};

CPackageHierarchyNode::~CPackageHierarchyNode()
{
    // Leave the parent while this is still a whole package node: the parent's
    // name index needs our name.
    detachFromParent();
    delete pendingData;
}

const CPackageHierarchyNode *CPackageHierarchyNode::parent() const
{
    return static_cast<const CPackageHierarchyNode *>(CHierarchyNode::parent());
}

CPackageHierarchyNode *CPackageHierarchyNode::parent()
{
    return static_cast<CPackageHierarchyNode *>(CHierarchyNode::parent());
}

CPackageHierarchyNode *CPackageHierarchyNode::root()
{
    return static_cast<CPackageHierarchyNode *>(CHierarchyNode::root());
}

const CPackageHierarchyNode *CPackageHierarchyNode::child(unsigned index) const
{
    return static_cast<const CPackageHierarchyNode *>(CHierarchyNode::child(index));
}

CPackageHierarchyNode *CPackageHierarchyNode::child(unsigned index)
{
    return static_cast<CPackageHierarchyNode *>(CHierarchyNode::child(index));
}

const CPackageHierarchyNode *CPackageHierarchyNode::first() const
{
    return static_cast<const CPackageHierarchyNode *>(CHierarchyNode::first());
}

CPackageHierarchyNode *CPackageHierarchyNode::first()
{
    return static_cast<CPackageHierarchyNode *>(CHierarchyNode::first());
}

const CPackageHierarchyNode *CPackageHierarchyNode::last() const
{
    return static_cast<const CPackageHierarchyNode *>(CHierarchyNode::last());
}

CPackageHierarchyNode *CPackageHierarchyNode::last()
{
    return static_cast<CPackageHierarchyNode *>(CHierarchyNode::last());
}

bool CPackageHierarchyNode::setName(const QString &name)
{
    if (name.isEmpty())
        return false;
    CPackageHierarchyNode *p = parent();
    if (p) {
        // A change of case alone finds the node itself.
        const CPackageHierarchyNode *taken = p->childByName(name);
        if (taken && taken != this)
            return false;
        p->unindexChild(this);
    }
    m_name = name;
    if (p)
        p->indexChild(this);
    return true;
}

QString CPackageHierarchyNode::path(bool includeSelf) const
{
    QStringList parts;
    const CPackageHierarchyNode *node = includeSelf ? this : parent();
    // Every node that has a parent contributes; the root (no parent) never.
    for (; node && node->parent(); node = node->parent())
        parts.prepend(node->m_name);
    return parts.join(QLatin1Char('/'));
}

CPackageHierarchyNode *CPackageHierarchyNode::childByName(const QString &name) const
{
    if (isLeaf())
        return nullptr;
    const auto firstMatch = [&]() -> CPackageHierarchyNode * {
        for (CHierarchyNode *child : *childVector()) {
            auto *node = dynamic_cast<CPackageHierarchyNode *>(child);
            if (node && CPackageNameIndex::equal(node->m_name, name))
                return node;
        }
        return nullptr;
    };
    const NameIndex *index = nameIndex();
    if (!index)
        return firstMatch();
    bool more = false;
    CPackageHierarchyNode *found = index->find(name, &more);
    // Same-named siblings exist only when insertChild bypassed addChild; the
    // first in child order wins, so look at the order itself.
    return more ? firstMatch() : found;
}

bool CPackageHierarchyNode::addChild(CPackageHierarchyNode *child, int index)
{
    if (!child || child->m_name.isEmpty() || childByName(child->m_name))
        return false;
    return insertChild(child, unsigned(index));
}

CPackageHierarchyNode *CPackageHierarchyNode::findNode(const QStringList &components)
{
    if (isLeaf() || components.isEmpty())
        return nullptr;
    CPackageHierarchyNode *node = this;
    for (const QString &component : components) {
        if (component.isEmpty())
            continue;
        node = node->childByName(component);
        if (!node)
            return nullptr;
    }
    return node;
}

CPackageHierarchyNode *CPackageHierarchyNode::findNode(const QStringList &components, bool leaf)
{
    CPackageHierarchyNode *node = findNode(components);
    if (!node || node->isLeaf() != leaf)
        return nullptr;
    return node;
}

CPackageHierarchyNode *CPackageHierarchyNode::findOrAddChild(const QString &name, bool leaf)
{
    if (isLeaf())
        return nullptr;
    if (CPackageHierarchyNode *found = childByName(name))
        return found;
    if (name.isEmpty())
        return nullptr;
    // No sibling has the name: it joins without a second lookup, already of
    // its kind, so the counts up the chain change once.
    auto *node = new CPackageHierarchyNode();
    node->m_name = name;
    if (!leaf)
        node->makeFolder();
    insertChild(node, unsigned(-1));
    return node;
}

CPackageHierarchyNode *CPackageHierarchyNode::createPath(const QStringList &components, bool leaf)
{
    if (isLeaf() || components.isEmpty())
        return nullptr;
    CPackageHierarchyNode *node = this;
    for (int i = 0; i < components.size() && node; ++i)
        node = node->findOrAddChild(components[i], leaf && i == components.size() - 1);
    return node && node->isLeaf() == leaf ? node : nullptr;
}

CPackageHierarchyNode *CPackageHierarchyNode::createChild(const QString &name, bool leaf)
{
    CPackageHierarchyNode *node = findOrAddChild(name, leaf);
    return node && node->isLeaf() == leaf ? node : nullptr;
}

void CPackageHierarchyNode::setPendingData(const QByteArray &data, bool reference)
{
    if (!pendingData)
        pendingData = new QByteArray(data);
    else
        *pendingData = data;
    modified = true;
    isReference = reference;
    if (reference)
        refreshReferencedSize();
    else
        referencedSize = 0;
}

QString CPackageHierarchyNode::referencedPath() const
{
    if (!pendingData)
        return QString();
    const int nul = pendingData->indexOf('\0');
    return QString::fromLocal8Bit(nul < 0 ? *pendingData : pendingData->left(nul));
}

bool CPackageHierarchyNode::refreshReferencedSize()
{
    if (!isReference || !pendingData)
        return false;
    QFile file(referencedPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Entry sizes are 32-bit; a larger local file cannot be stored anyway.
    referencedSize = int(qMin<qint64>(file.size(), std::numeric_limits<int>::max()));
    return true;
}

bool CPackageHierarchyNode::revert()
{
    if (!owner || !owner->hasFile(entryIndex) || !pendingData)
        return false;
    delete pendingData;
    pendingData = nullptr;
    modified = false;
    referencedSize = 0;
    return true;
}

bool CPackageHierarchyNode::hasFile() const
{
    return owner && owner->hasFile(entryIndex);
}

namespace {

// The child as a package node, or null; the exact type is checked first,
// which is cheaper than a cast through the hierarchy for every insert.
CPackageHierarchyNode *asPackageNode(CHierarchyNode *child)
{
    if (child && typeid(*child) == typeid(CPackageHierarchyNode))
        return static_cast<CPackageHierarchyNode *>(child);
    return dynamic_cast<CPackageHierarchyNode *>(child);
}

} // namespace

void CPackageHierarchyNode::childAttached(CHierarchyNode *child)
{
    if (CPackageHierarchyNode *node = asPackageNode(child))
        indexChild(node);
}

void CPackageHierarchyNode::childDetaching(CHierarchyNode *child)
{
    if (CPackageHierarchyNode *node = asPackageNode(child))
        unindexChild(node);
}

CPackageHierarchyNode::NameIndex *CPackageHierarchyNode::nameIndex() const
{
    return static_cast<NameIndex *>(folderExtra());
}

CPackageHierarchyNode::NameIndex *CPackageHierarchyNode::makeNameIndex()
{
    auto *index = new NameIndex;
    index->reserve(childCount());
    for (CHierarchyNode *c : *childVector()) {
        if (auto *node = dynamic_cast<CPackageHierarchyNode *>(c))
            index->insert(node);
    }
    setFolderExtra(index);
    return index;
}

void CPackageHierarchyNode::reserveChildren(int more)
{
    if (isLeaf() || more <= 0)
        return;
    CHierarchyNode::reserveChildren(more);
    const int total = childCount() + more;
    if (total <= SmallFolder)
        return;
    NameIndex *index = nameIndex();
    if (!index)
        index = makeNameIndex();
    index->reserve(total);
}

void CPackageHierarchyNode::indexChild(CPackageHierarchyNode *child)
{
    if (NameIndex *index = nameIndex())
        index->insert(child);
    else if (childCount() > SmallFolder)
        makeNameIndex();
}

void CPackageHierarchyNode::unindexChild(CPackageHierarchyNode *child)
{
    if (NameIndex *index = nameIndex())
        index->remove(child);
}

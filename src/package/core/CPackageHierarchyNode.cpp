#include "CPackageHierarchyNode.h"

#include "IPackageDelegate.h"

#include <QFile>

#include <limits>

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
    const auto it = m_childIndex.constFind(nameKey(name));
    if (it == m_childIndex.constEnd() || it->isEmpty())
        return nullptr;
    if (it->size() == 1)
        return it->first();
    // Same-named siblings exist only when insertChild bypassed addChild; the
    // first in child order wins, so look at the order itself.
    for (CHierarchyNode *child : *childVector()) {
        auto *node = static_cast<CPackageHierarchyNode *>(child);
        if (it->contains(node))
            return node;
    }
    return nullptr;
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

CPackageHierarchyNode *CPackageHierarchyNode::createPath(const QStringList &components, bool leaf)
{
    if (isLeaf() || components.isEmpty())
        return nullptr;
    CPackageHierarchyNode *node = this;
    for (int i = 0; i < components.size(); ++i) {
        const bool lastComponent = i == components.size() - 1;
        if (node->isLeaf())
            return nullptr; // an existing file in the middle of the path
        CPackageHierarchyNode *next = node->childByName(components[i]);
        if (!next) {
            next = new CPackageHierarchyNode();
            if (!next->setName(components[i]) || !node->addChild(next, -1)) {
                delete next;
                return nullptr;
            }
            if (!(lastComponent && leaf))
                next->makeFolder();
        }
        node = next;
    }
    return node->isLeaf() == leaf ? node : nullptr;
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

void CPackageHierarchyNode::childAttached(CHierarchyNode *child)
{
    if (auto *node = dynamic_cast<CPackageHierarchyNode *>(child))
        indexChild(node);
}

void CPackageHierarchyNode::childDetaching(CHierarchyNode *child)
{
    if (auto *node = dynamic_cast<CPackageHierarchyNode *>(child))
        unindexChild(node);
}

void CPackageHierarchyNode::indexChild(CPackageHierarchyNode *child)
{
    m_childIndex[nameKey(child->m_name)].append(child);
}

void CPackageHierarchyNode::unindexChild(CPackageHierarchyNode *child)
{
    const QString key = nameKey(child->m_name);
    auto it = m_childIndex.find(key);
    if (it == m_childIndex.end())
        return;
    it->removeOne(child);
    if (it->isEmpty())
        m_childIndex.erase(it);
}

#include "CFilePCF.h"

#include "DMXPointerSet.h"
#include "PCFDelegate.h"

#include <QDataStream>
#include <QIODevice>
#include <algorithm>

namespace {

const QString systemType = QStringLiteral("DmeParticleSystemDefinition");
const QString systemListName = QStringLiteral("particleSystemDefinitions");

} // namespace

CFilePCF::CFilePCF() = default;

CFilePCF::~CFilePCF()
{
    clear();
}

void CFilePCF::clear()
{
    DMXElement *first = elements.value(0);
    QList<DMXElement *> extra;
    if (!m_unowned.isEmpty()) {
        const QSet<DMXElement *> present(elements.cbegin(), elements.cend());
        for (DMXElement *element : qAsConst(m_unowned)) {
            if (element != first && present.contains(element))
                extra.append(element);
        }
    }
    delete first;
    qDeleteAll(extra);
    qDeleteAll(m_detached);
    m_unowned.clear();
    m_detached.clear();
    elements.clear();
    strings.clear();
    format = 0;
    stringCount = 0;
    elementCount = 0;
}

bool CFilePCF::read(QDataStream &stream)
{
    QIODevice *device = stream.device();
    if (!device || !device->isReadable()) {
        m_error = QString::fromLatin1(FileClassError::ReadOpen);
        return false;
    }
    PCFDelegate delegate;
    if (!delegate.readData(device->readAll(), this)) {
        m_error = delegate.error();
        return false;
    }
    return true;
}

bool CFilePCF::write(QDataStream &stream)
{
    PCFDelegate delegate;
    QByteArray bytes;
    if (!delegate.writeData(this, format, &bytes)) {
        m_error = delegate.error();
        return false;
    }
    if (stream.writeRawData(bytes.constData(), bytes.size()) != bytes.size()) {
        m_error = QString::fromLatin1(FileClassError::WriteFailed);
        return false;
    }
    return true;
}

DMXElementList *CFilePCF::systemList() const
{
    const DMXElement *top = root();
    if (!top)
        return nullptr;
    for (const DMXAttribute *attribute : top->attributes) {
        if (attribute && attribute->type() == ATTRIBUTE_ELEMENT_ARRAY &&
            attribute->name() == systemListName)
            return attribute->elementList();
    }
    return nullptr;
}

DMXElement *CFilePCF::findParticleSystem(const QString &systemName) const
{
    const DMXElementList *systems = systemList();
    if (!systems)
        return nullptr;
    for (DMXElement *system : *systems) {
        if (system && system->name == systemName)
            return system;
    }
    return nullptr;
}

QList<DMXElement *> CFilePCF::elementsOfType(const QString &typeName) const
{
    QList<DMXElement *> out;
    for (DMXElement *element : elements) {
        if (element && element->type == typeName)
            out.append(element);
    }
    return out;
}

QList<DMXElement *> CFilePCF::elementsNamed(const QString &elementName) const
{
    QList<DMXElement *> out;
    for (DMXElement *element : elements) {
        if (element && element->name == elementName)
            out.append(element);
    }
    return out;
}

bool CFilePCF::removeElement(DMXElement *element, bool deleteElement,
                             QSet<DMXElement *> *removedOut)
{
    if (!element || element == root())
        return false;
    removeElements({element}, deleteElement, removedOut);
    return true;
}

QList<DMXElement *> CFilePCF::removeElements(const QList<DMXElement *> &targets,
                                             bool deleteElements, QSet<DMXElement *> *removedOut)
{
    // Everything the targets own, each once. A target owned by another target
    // goes with that one, so only the topmost are handed back or freed.
    QSet<DMXElement *> removed;
    QSet<DMXElement *> carried;
    QList<DMXElement *> tops;
    QVector<DMXElement *> stack;
    for (DMXElement *target : targets) {
        if (!target || target == root() || removed.contains(target))
            continue;
        removed.insert(target);
        tops.append(target);
        stack.append(target);
        while (!stack.isEmpty()) {
            DMXElement *owner = stack.takeLast();
            for (const DMXAttribute *attribute : owner->attributes) {
                if (!attribute || !attribute->ownsValue())
                    continue;
                DMXElementList below;
                if (DMXElement *single = attribute->element())
                    below.append(single);
                else if (const DMXElementList *list = attribute->elementList())
                    below = *list;
                for (DMXElement *child : qAsConst(below)) {
                    if (!child || child == root())
                        continue;
                    carried.insert(child);
                    if (!removed.contains(child)) {
                        removed.insert(child);
                        stack.append(child);
                    }
                }
            }
        }
    }
    tops.erase(std::remove_if(tops.begin(), tops.end(),
                              [&](DMXElement *top) { return carried.contains(top); }),
               tops.end());
    if (removed.isEmpty())
        return tops;

    // Owning references into the removed trees can only come from the trees
    // the document frees: the root's and those of unowned elements. One walk
    // over them takes out every such reference.
    DMXPointerSet seen;
    auto visit = [&](DMXElement *candidate) {
        if (candidate && !removed.contains(candidate) && seen.insert(candidate))
            stack.append(candidate);
    };
    visit(root());
    for (DMXElement *unowned : qAsConst(m_unowned))
        visit(unowned);
    while (!stack.isEmpty()) {
        DMXElement *owner = stack.takeLast();
        QList<DMXAttribute *> dropped;
        for (DMXAttribute *attribute : owner->attributes) {
            if (!attribute || !attribute->ownsValue())
                continue;
            if (DMXElement *single = attribute->element()) {
                if (removed.contains(single)) {
                    attribute->setOwnsValue(false);
                    m_detached.append(attribute);
                    dropped.append(attribute);
                } else {
                    visit(single);
                }
            } else if (DMXElementList *list = attribute->elementList()) {
                for (DMXElement *item : qAsConst(*list))
                    visit(item);
                list->erase(
                    std::remove_if(list->begin(), list->end(),
                                   [&](DMXElement *item) { return removed.contains(item); }),
                    list->end());
            }
        }
        for (DMXAttribute *attribute : qAsConst(dropped))
            owner->attributes.removeAll(attribute);
    }

    auto isRemoved = [&](DMXElement *candidate) { return removed.contains(candidate); };
    elements.erase(std::remove_if(elements.begin(), elements.end(), isRemoved), elements.end());
    m_unowned.erase(std::remove_if(m_unowned.begin(), m_unowned.end(), isRemoved), m_unowned.end());
    if (removedOut)
        removedOut->unite(removed);
    if (deleteElements) {
        qDeleteAll(tops);
        tops.clear();
    }
    return tops;
}

void CFilePCF::dropReferencesTo(const QSet<DMXElement *> &targets)
{
    if (targets.isEmpty())
        return;
    for (DMXElement *element : qAsConst(elements)) {
        if (!element)
            continue;
        for (int i = element->attributes.size() - 1; i >= 0; --i) {
            DMXAttribute *attribute = element->attributes[i];
            if (!attribute)
                continue;
            if (DMXElement *single = attribute->element()) {
                if (targets.contains(single)) {
                    element->attributes.removeAt(i);
                    attribute->setOwnsValue(false);
                    m_detached.append(attribute);
                }
            } else if (DMXElementList *list = attribute->elementList()) {
                for (int j = list->size() - 1; j >= 0; --j) {
                    if (targets.contains(list->at(j)))
                        list->removeAt(j);
                }
            }
        }
    }
}

bool CFilePCF::copySystems(const QList<DMXElement *> &systems, QList<DMXElement *> *copies) const
{
    if (!copies || systems.isEmpty())
        return false;
    const QSet<DMXElement *> members(elements.cbegin(), elements.cend());
    for (DMXElement *system : systems) {
        if (!members.contains(system) || system->type != systemType)
            return false;
    }

    QList<DMXElement *> collected;
    QSet<const DMXElement *> seen;
    auto collect = [&](DMXElement *system) {
        if (system && !seen.contains(system)) {
            seen.insert(system);
            collected.append(system);
        }
    };
    for (DMXElement *system : systems) {
        collect(system);
        const DMXReferenceList pairs = system->childSystems(DMX::NoDepthLimit, 0);
        for (const DMXReference &pair : pairs)
            collect(pair.element);
    }

    // Each system is copied with what it owns; its plain references (the
    // "child" links) are then pointed at the copies, matched by source.
    QHash<const DMXElement *, DMXElement *> systemCopies;
    QVector<QHash<const DMXElement *, DMXElement *>> treeCopies(collected.size());
    QVector<QList<DMXAttribute *>> unresolved(collected.size());
    QList<DMXElement *> made;
    for (int i = 0; i < collected.size(); ++i) {
        DMXElement *copy = DMXElement::copyOwnedTree(collected[i], treeCopies[i], unresolved[i]);
        systemCopies.insert(collected[i], copy);
        made.append(copy);
    }
    bool linked = true;
    auto link = [&](int tree, DMXElement *original) -> DMXElement * {
        DMXElement *copy = treeCopies[tree].value(original);
        if (!copy)
            copy = systemCopies.value(original);
        if (!copy)
            linked = false;
        return copy;
    };
    for (int i = 0; i < collected.size() && linked; ++i) {
        for (DMXAttribute *attribute : qAsConst(unresolved[i])) {
            if (DMXElement *target = attribute->element()) {
                if (DMXElement *copy = link(i, target))
                    attribute->setPointer(copy);
            } else if (DMXElementList *list = attribute->elementList()) {
                for (DMXElement *&item : *list) {
                    if (!item)
                        continue;
                    if (DMXElement *copy = link(i, item))
                        item = copy;
                }
            }
        }
    }
    if (!linked) {
        // A reference leads out of the copied set; none of it is handed out.
        qDeleteAll(made);
        return false;
    }
    *copies = made;
    return true;
}

void CFilePCF::setUnowned(const QList<DMXElement *> &unowned)
{
    m_unowned = unowned;
}

CFilePCF *newDmxRoot(int format)
{
    if (format == 0)
        return nullptr;
    auto *document = new CFilePCF;
    document->format = format;
    auto *root = new DMXElement;
    root->type = QStringLiteral("DmElement");
    root->name = QStringLiteral("untitled");
    auto *systems = new DMXAttribute;
    systems->setName(systemListName);
    systems->setValue(ATTRIBUTE_ELEMENT_ARRAY, new DMXElementList);
    root->attributes.append(systems);
    document->elements.append(root);
    return document;
}

// Format conversion: every particle system of a document is made to look like
// the template system of the target encoding.
#include "PCFDelegate.h"

#include "CFilePCF.h"
#include "PCFErrors.h"

#include <QSet>
#include <QVector>

namespace {

const QString childrenName = QStringLiteral("children");
const QString childEntryType = QStringLiteral("DmeParticleChild");
const QString childName = QStringLiteral("child");
const QString delayName = QStringLiteral("delay");

struct ConformTask
{
    DMXElement *element;
    const DMXElement *templateElement;
};

// The first attribute of the template with that name and type code.
const DMXAttribute *templateMatch(const DMXElement *templateElement, const DMXAttribute *attribute)
{
    for (const DMXAttribute *candidate : templateElement->attributes) {
        if (candidate && candidate->name == attribute->name && candidate->type == attribute->type)
            return candidate;
    }
    return nullptr;
}

bool hasAttribute(const DMXElement *element, const QString &name, uint type)
{
    for (const DMXAttribute *attribute : element->attributes) {
        if (attribute && attribute->name == name && attribute->type == type)
            return true;
    }
    return false;
}

// Takes attribute `index` out of the element and frees the record. What it
// owned is cut loose onto `removed`; what it merely pointed at (a system named
// by a "child" link) is not the conversion's to remove.
void dropAttribute(DMXElement *element, int index, QList<DMXElement *> &removed)
{
    DMXAttribute *attribute = element->attributes.takeAt(index);
    if (attribute && attribute->ownsValue) {
        if (DMXElement *single = attribute->element())
            removed.append(single);
        else if (const DMXElementList *list = attribute->elementList())
            removed.append(*list);
        // Elements are freed by the document later; other values go with the
        // attribute.
        if (DMX::refersToElements(attribute->type))
            attribute->ownsValue = false;
    }
    delete attribute;
}

// A "children" list keeps only "DmeParticleChild" entries with an ELEMENT
// "child" and gains a FLOAT "delay" of 0 where it lacks one.
void cleanChildren(DMXElement *owner, DMXAttribute *children, QList<DMXElement *> &removed)
{
    DMXElementList *list = children->elementList();
    for (int i = list->size() - 1; i >= 0; --i) {
        DMXElement *entry = list->at(i);
        if (!entry)
            continue;
        // A damaged file may list an element among its own children (never
        // owned: the reader refuses that). Cleaning it as an entry would free
        // the very list being walked, so the entry only leaves the list.
        if (entry == owner) {
            list->removeAt(i);
            continue;
        }
        if (entry->type != childEntryType) {
            list->removeAt(i);
            if (children->ownsValue)
                removed.append(entry);
            continue;
        }
        bool hasDelay = false;
        bool hasChild = false;
        for (int j = entry->attributes.size() - 1; j >= 0; --j) {
            const DMXAttribute *attribute = entry->attributes[j];
            if (attribute && attribute->name == delayName && attribute->type == ATTRIBUTE_FLOAT)
                hasDelay = true;
            else if (attribute && attribute->name == childName &&
                     attribute->type == ATTRIBUTE_ELEMENT)
                hasChild = true;
            else
                dropAttribute(entry, j, removed);
        }
        if (!hasChild) {
            // It stays in the list until the document removes it.
            if (children->ownsValue)
                removed.append(entry);
        } else if (!hasDelay) {
            auto *delay = new DMXAttribute;
            delay->name = delayName;
            delay->setValue(ATTRIBUTE_FLOAT, newDmxAttributeValue(ATTRIBUTE_FLOAT));
            entry->attributes.append(delay);
        }
    }
}

// The attribute and addition passes for one element; elements to conform
// further are pushed onto `pending`.
void conformOne(const ConformTask &task, QList<DMXElement *> &removed,
                QVector<ConformTask> &pending)
{
    DMXElement *element = task.element;
    const DMXElement *templateElement = task.templateElement;
    for (int i = element->attributes.size() - 1; i >= 0; --i) {
        DMXAttribute *attribute = element->attributes[i];
        const DMXAttribute *match = attribute ? templateMatch(templateElement, attribute) : nullptr;
        if (!match) {
            dropAttribute(element, i, removed);
            continue;
        }
        // Only owned elements are conformed: what a plain reference points at
        // belongs to, and is conformed through, its owner.
        if (attribute->type == ATTRIBUTE_ELEMENT) {
            if (attribute->ownsValue && match->element())
                pending.append(ConformTask{attribute->element(), match->element()});
        } else if (attribute->type == ATTRIBUTE_ELEMENT_ARRAY) {
            if (attribute->name == childrenName) {
                cleanChildren(element, attribute, removed);
                continue;
            }
            DMXElementList *list = attribute->elementList();
            const DMXElementList *templates = match->elementList();
            for (int k = list->size() - 1; k >= 0; --k) {
                DMXElement *item = list->at(k);
                if (!item)
                    continue;
                const DMXElement *itemTemplate = nullptr;
                for (const DMXElement *candidate : *templates) {
                    if (candidate && candidate->name == item->name &&
                        candidate->type == item->type) {
                        itemTemplate = candidate;
                        break;
                    }
                }
                if (itemTemplate) {
                    if (attribute->ownsValue)
                        pending.append(ConformTask{item, itemTemplate});
                } else {
                    list->removeAt(k);
                    if (attribute->ownsValue)
                        removed.append(item);
                }
            }
        }
    }
    for (const DMXAttribute *templateAttribute : templateElement->attributes) {
        if (!templateAttribute || DMX::refersToElements(templateAttribute->type) ||
            templateAttribute->type == ATTRIBUTE_UNKNOWN ||
            templateAttribute->type >= DMX::TypeCount)
            continue;
        if (!hasAttribute(element, templateAttribute->name, templateAttribute->type))
            element->attributes.append(templateAttribute->clone());
    }
}

// Everything the given elements own, at any depth (not the elements
// themselves unless one owns another). A removed element may be owned by
// another removed one that no walk from the root reaches any more (a damaged
// file can own a system from an unknown attribute); freeing it first would
// leave that owner pointing at freed memory.
QSet<DMXElement *> ownedBelow(const QList<DMXElement *> &owners)
{
    QSet<DMXElement *> owned;
    QSet<const DMXElement *> walked;
    QVector<DMXElement *> stack = QVector<DMXElement *>::fromList(owners);
    while (!stack.isEmpty()) {
        DMXElement *owner = stack.takeLast();
        if (!owner || walked.contains(owner))
            continue;
        walked.insert(owner);
        for (const DMXAttribute *attribute : qAsConst(owner->attributes)) {
            if (!attribute || !attribute->ownsValue)
                continue;
            DMXElementList targets;
            if (DMXElement *single = attribute->element())
                targets.append(single);
            else if (const DMXElementList *list = attribute->elementList())
                targets = *list;
            for (DMXElement *target : qAsConst(targets)) {
                if (target) {
                    owned.insert(target);
                    stack.append(target);
                }
            }
        }
    }
    return owned;
}

} // namespace

QList<DMXElement *> PCFDelegate::conformElement(DMXElement *element,
                                                const DMXElement *templateElement)
{
    QList<DMXElement *> removed;
    if (!element || !templateElement)
        return removed;
    // Worked through with a stack and a visited set, so that deep or shared
    // structures neither exhaust the call stack nor get conformed twice.
    QVector<ConformTask> pending{{element, templateElement}};
    QSet<const DMXElement *> visited;
    while (!pending.isEmpty()) {
        const ConformTask task = pending.takeLast();
        if (!task.element || !task.templateElement || visited.contains(task.element))
            continue;
        visited.insert(task.element);
        conformOne(task, removed, pending);
    }
    return removed;
}

QString PCFDelegate::convert(CFilePCF *document, int target, const DMXElement *templateSystem)
{
    QString failure;
    if (!document)
        failure = QString::fromLatin1(PCFError::FormatNoData);
    else if (document->format == 0)
        failure = QString::fromLatin1(PCFError::FormatSource);
    else if (target == 0)
        failure = QString::fromLatin1(PCFError::FormatTarget);
    else if (!templateSystem)
        failure = QString::fromLatin1(PCFError::FormatTemplate);
    if (!failure.isNull()) {
        setError(failure);
        return failure;
    }

    QList<DMXElement *> removed;
    if (const DMXElementList *systems = document->systemList()) {
        const DMXElementList snapshot = *systems;
        // A damaged file may list the root among its systems; conforming it
        // would drop the system list itself and every system with it.
        for (DMXElement *system : snapshot) {
            if (system != document->root())
                removed.append(conformElement(system, templateSystem));
        }
    }

    // Each element is freed once: what an earlier removal already took with it
    // is skipped, and what another removed element owns goes with that owner.
    const QSet<DMXElement *> carried = ownedBelow(removed);
    QSet<DMXElement *> gone;
    for (DMXElement *element : qAsConst(removed)) {
        if (element && !gone.contains(element) && !carried.contains(element))
            document->removeElement(element, true, &gone);
    }
    // No plain reference may be left pointing at a freed element.
    document->dropReferencesTo(gone);
    return QString();
}

#include "DMXElement.h"

#include "DMXAttribute.h"
#include "DMXPointerSet.h"

#include <QSet>

namespace {

const QString systemType = QStringLiteral("DmeParticleSystemDefinition");
const QString childEntryType = QStringLiteral("DmeParticleChild");
const QString childrenName = QStringLiteral("children");
const QString childName = QStringLiteral("child");

// The elements an ELEMENT or ELEMENT_ARRAY attribute points to.
QVector<DMXElement *> referencedElements(const DMXAttribute *attribute)
{
    QVector<DMXElement *> out;
    if (!attribute)
        return out;
    if (DMXElement *element = attribute->element()) {
        out.append(element);
    } else if (const DMXElementList *list = attribute->elementList()) {
        for (DMXElement *item : *list) {
            if (item)
                out.append(item);
        }
    }
    return out;
}

// Moves the elements an element owns onto `doomed` and unlinks them, so that
// freeing a deep tree never recurses.
void detachOwned(DMXElement *element, QVector<DMXElement *> &doomed, DMXPointerSet &seen)
{
    for (DMXAttribute *attribute : element->attributes) {
        if (!attribute || !DMX::refersToElements(attribute->type()) || !attribute->ownsValue())
            continue;
        if (DMXElement *child = attribute->element()) {
            attribute->setOwnsValue(false);
            if (seen.insert(child))
                doomed.append(child);
        } else if (DMXElementList *list = attribute->elementList()) {
            for (DMXElement *item : qAsConst(*list)) {
                if (seen.insert(item))
                    doomed.append(item);
            }
            list->clear();
        }
    }
}

// The ("child" attribute, system) pairs of a system's own "children" list.
DMXReferenceList directChildren(const DMXElement *system)
{
    DMXReferenceList out;
    if (!system || system->type != systemType)
        return out;
    for (const DMXAttribute *children : system->attributes) {
        const DMXElementList *entries = children ? children->elementList() : nullptr;
        if (!entries || children->name() != childrenName)
            continue;
        for (const DMXElement *entry : *entries) {
            if (!entry || entry->type != childEntryType)
                continue;
            for (DMXAttribute *link : entry->attributes) {
                // Only an ELEMENT "child" names a system; anything else of that
                // name is not followed.
                if (link && link->name() == childName && link->element())
                    out.append({link, link->element()});
            }
        }
    }
    return out;
}

void dropAttribute(DMXAttribute *attribute, QList<DMXAttribute *> *detached)
{
    attribute->setOwnsValue(false);
    if (detached)
        detached->append(attribute);
    else
        delete attribute;
}

// True when the element owns another element through an attribute.
bool ownsElements(const DMXElement *element)
{
    for (const DMXAttribute *attribute : element->attributes) {
        if (attribute && attribute->ownsValue() && DMX::refersToElements(attribute->type()))
            return true;
    }
    return false;
}

} // namespace

DMXElement::DMXElement()
    : guid(QUuid::createUuid())
{}

DMXElement::DMXElement(const QUuid &id)
    : guid(id)
{}

DMXElement::~DMXElement()
{
    QVector<DMXElement *> doomed;
    DMXPointerSet seen;
    // Most elements own no element: no bookkeeping for them.
    if (ownsElements(this)) {
        seen.insert(this);
        detachOwned(this, doomed, seen);
    }
    attributes.deleteAll();
    while (!doomed.isEmpty()) {
        DMXElement *element = doomed.takeLast();
        detachOwned(element, doomed, seen);
        delete element;
    }
}

DMXElement *DMXElement::copyOwnedTree(const DMXElement *source,
                                      QHash<const DMXElement *, DMXElement *> &copies,
                                      QList<DMXAttribute *> &unresolved)
{
    if (DMXElement *existing = copies.value(source))
        return existing;
    QVector<const DMXElement *> pending;
    auto shell = [&](const DMXElement *original) {
        auto *copy = new DMXElement(original->guid);
        copy->type = original->type;
        copy->name = original->name;
        copies.insert(original, copy);
        pending.append(original);
        return copy;
    };
    DMXElement *top = shell(source);

    while (!pending.isEmpty()) {
        const DMXElement *original = pending.takeLast();
        DMXElement *copy = copies.value(original);
        // The copies sit side by side like the attributes of a read file.
        copy->attributes.reserveRun(original->attributes.size());
        for (const DMXAttribute *attribute : original->attributes) {
            if (!attribute)
                continue;
            DMXAttribute *out = copy->attributes.emplace();
            if (!DMX::refersToElements(attribute->type())) {
                attribute->copyInto(out);
                continue;
            }
            out->setNameId(attribute->nameId());
            const QVector<DMXElement *> targets = referencedElements(attribute);
            // An owning reference to something already copied would give the
            // copy two owners; it is kept as a plain reference instead.
            bool owning = attribute->ownsValue();
            QSet<const DMXElement *> inList;
            for (const DMXElement *target : targets) {
                if (copies.contains(target) || (targets.size() > 1 && inList.contains(target)))
                    owning = false;
                if (targets.size() > 1)
                    inList.insert(target);
            }
            out->setOwnsValue(owning);
            if (attribute->type() == ATTRIBUTE_ELEMENT) {
                DMXElement *target = targets.value(0);
                out->setValue(ATTRIBUTE_ELEMENT, owning && target ? shell(target) : target);
            } else {
                // Null items (references to no element) keep their places.
                const DMXElementList &items = *attribute->elementList();
                auto *list = new DMXElementList;
                list->reserve(items.size());
                for (DMXElement *target : items)
                    list->append(owning && target ? shell(target) : target);
                out->setValue(ATTRIBUTE_ELEMENT_ARRAY, list);
            }
            if (!owning)
                unresolved.append(out);
        }
    }
    return top;
}

DMXElement *DMXElement::clone() const
{
    QHash<const DMXElement *, DMXElement *> copies;
    QList<DMXAttribute *> unresolved;
    DMXElement *top = copyOwnedTree(this, copies, unresolved);
    // Plain references lead to copies made here; an element reached only
    // through them is copied as well and belongs to nobody.
    auto linked = [&](DMXElement *original) {
        DMXElement *copy = copies.value(original);
        return copy ? copy : copyOwnedTree(original, copies, unresolved);
    };
    for (int i = 0; i < unresolved.size(); ++i) {
        DMXAttribute *attribute = unresolved[i];
        if (DMXElement *target = attribute->element()) {
            attribute->setPointer(linked(target));
        } else if (DMXElementList *list = attribute->elementList()) {
            for (DMXElement *&item : *list)
                item = item ? linked(item) : nullptr;
        }
    }
    return top;
}

void DMXElement::renewGuid(bool renewSelf)
{
    QSet<const DMXElement *> seen;
    seen.insert(this);
    QVector<DMXElement *> stack{this};
    while (!stack.isEmpty()) {
        DMXElement *element = stack.takeLast();
        for (const DMXAttribute *attribute : element->attributes) {
            for (DMXElement *target : referencedElements(attribute)) {
                if (seen.contains(target))
                    continue;
                seen.insert(target);
                target->guid = QUuid::createUuid();
                stack.append(target);
            }
        }
    }
    if (renewSelf)
        guid = QUuid::createUuid();
}

QList<DMXElement *> DMXElement::ownedTree()
{
    QList<DMXElement *> out;
    QSet<const DMXElement *> seen{this};
    QVector<DMXElement *> stack{this};
    while (!stack.isEmpty()) {
        DMXElement *element = stack.takeLast();
        out.append(element);
        QVector<DMXElement *> targets;
        for (const DMXAttribute *attribute : element->attributes) {
            if (attribute && attribute->ownsValue())
                targets += referencedElements(attribute);
        }
        // Reversed so that the first attribute's elements come out first.
        for (int i = targets.size() - 1; i >= 0; --i) {
            if (!seen.contains(targets[i])) {
                seen.insert(targets[i]);
                stack.append(targets[i]);
            }
        }
    }
    return out;
}

DMXAttribute *DMXElement::attribute(const QString &attributeName) const
{
    for (DMXAttribute *candidate : attributes) {
        if (candidate && candidate->name() == attributeName)
            return candidate;
    }
    return nullptr;
}

DMXReferenceList DMXElement::childSystems(uint maxDepth, uint depth) const
{
    struct Frame
    {
        DMXReferenceList pairs;
        int next;
        uint depth;
    };
    DMXReferenceList out;
    QSet<const DMXElement *> expanded;
    expanded.insert(this);
    QVector<Frame> stack{{directChildren(this), 0, depth}};
    while (!stack.isEmpty()) {
        Frame &frame = stack.last();
        if (frame.next >= frame.pairs.size()) {
            stack.removeLast();
            continue;
        }
        const DMXReference pair = frame.pairs[frame.next++];
        const uint pairDepth = frame.depth;
        out.append(pair);
        if (pairDepth < maxDepth && !expanded.contains(pair.element)) {
            expanded.insert(pair.element);
            stack.append({directChildren(pair.element), 0, pairDepth + 1});
        }
    }
    return out;
}

DMXReferenceList DMXElement::flattenTree(uint maxDepth, uint depth) const
{
    struct Frame
    {
        const DMXElement *element;
        int attribute;
        int item;
        uint maxDepth;
        uint depth;
    };
    DMXReferenceList out;
    QSet<const DMXElement *> expanded;
    expanded.insert(this);
    QVector<Frame> stack{{this, 0, 0, maxDepth, depth}};
    while (!stack.isEmpty()) {
        Frame &frame = stack.last();
        if (frame.attribute >= frame.element->attributes.size()) {
            stack.removeLast();
            continue;
        }
        DMXAttribute *attribute = frame.element->attributes[frame.attribute];
        DMXElement *target = nullptr;
        Frame child{nullptr, 0, 0, 0, 0};
        if (DMXElement *single = attribute ? attribute->element() : nullptr) {
            target = single;
            child = {single, 0, 0, DMX::NoDepthLimit, 0};
            ++frame.attribute;
        } else if (const DMXElementList *list = attribute ? attribute->elementList() : nullptr) {
            if (frame.depth >= frame.maxDepth || frame.item >= list->size()) {
                ++frame.attribute;
                frame.item = 0;
                continue;
            }
            target = list->at(frame.item++);
            child = {target, 0, 0, frame.maxDepth, frame.depth + 1};
        } else {
            ++frame.attribute;
            continue;
        }
        if (!target)
            continue;
        out.append({attribute, target});
        if (!expanded.contains(target)) {
            expanded.insert(target);
            stack.append(child);
        }
    }
    return out;
}

bool DMXElement::hasChildSystem(const DMXElement *target) const
{
    if (!target)
        return false;
    const DMXReferenceList pairs = childSystems(DMX::NoDepthLimit, 0);
    for (const DMXReference &pair : pairs) {
        if (pair.element == target)
            return true;
    }
    return false;
}

void DMXElement::dropReferences(const DMXElement *target, QList<DMXAttribute *> *detached)
{
    QSet<const DMXElement *> seen;
    seen.insert(this);
    QVector<DMXElement *> stack{this};
    while (!stack.isEmpty()) {
        DMXElement *element = stack.takeLast();
        for (int i = element->attributes.size() - 1; i >= 0; --i) {
            DMXAttribute *attribute = element->attributes[i];
            if (!attribute || !attribute->ownsValue())
                continue;
            if (DMXElement *single = attribute->element()) {
                if (single == target) {
                    element->attributes.removeAt(i);
                    dropAttribute(attribute, detached);
                } else if (!seen.contains(single)) {
                    seen.insert(single);
                    stack.append(single);
                }
            } else if (DMXElementList *list = attribute->elementList()) {
                for (int j = list->size() - 1; j >= 0; --j) {
                    DMXElement *item = list->at(j);
                    if (item == target) {
                        list->removeAt(j);
                    } else if (item && !seen.contains(item)) {
                        seen.insert(item);
                        stack.append(item);
                    }
                }
            }
        }
    }
}

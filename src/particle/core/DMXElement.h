#pragma once

#include "DMXAttributeList.h"
#include "DMXSlotPool.h"
#include "DMXTypes.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QUuid>
#include <QVector>

class DMXAttribute;

// An element together with the attribute that points to it. Owns neither.
struct DMXReference
{
    DMXAttribute *attribute = nullptr;
    DMXElement *element = nullptr;
};
using DMXReferenceList = QVector<DMXReference>;

// One typed element of a particle document with its ordered attributes.
//
// Element references may form cycles in a damaged file (and shared references
// in any file), so every walk below visits each element once; deep chains are
// walked with explicit stacks rather than recursion.
//
// Elements are allocated from a pool of slots of their size (see
// DMXSlotPool); new and delete work as usual.
class DMXElement
{
public:
    // Empty type and name and a fresh random GUID.
    DMXElement();
    // Empty type and name and the given GUID: for elements whose GUID is
    // known at once (read from a file, copied), which spares making a random
    // one.
    explicit DMXElement(const QUuid &id);
    // Frees the attributes and, through the owning ones, every element below.
    ~DMXElement();
    DMXElement(const DMXElement &) = delete;
    DMXElement &operator=(const DMXElement &) = delete;

    static void *operator new(std::size_t) { return pool().allocate(); }
    static void operator delete(void *slot) { pool().release(slot); }
    static DMXSlotPool &pool() { return DMXSlotPool::of<DMXElement>(); }

    // A deep copy keeping the GUIDs, following owning and non-owning
    // references alike. Each element reached is copied once, so shared and
    // cyclic references keep their shape in the copy. Copies reached only
    // through non-owning references are owned by nobody.
    DMXElement *clone() const;

    // Fresh GUIDs for every element reachable from this one and, with
    // renewSelf, for this one too.
    void renewGuid(bool renewSelf);

    // This element and everything it owns, each once, in depth-first order
    // (the first attribute's elements first).
    QList<DMXElement *> ownedTree();

    // The first attribute of that exact name, or null.
    DMXAttribute *attribute(const QString &attributeName) const;

    // For a "DmeParticleSystemDefinition": each ("child" attribute, system)
    // pair of its "children" list, each followed (depth first, while depth is
    // below maxDepth) by the pairs of that system. A system is expanded once.
    DMXReferenceList childSystems(uint maxDepth = 0, uint depth = 0) const;
    // Every (attribute, element) pair below this element, depth first. An
    // ELEMENT reference is followed without limit; ELEMENT_ARRAY items while
    // depth is below maxDepth. An element is expanded once.
    DMXReferenceList flattenTree(uint maxDepth = DMX::NoDepthLimit, uint depth = 0) const;
    // True when the target is one of the systems childSystems reaches.
    bool hasChildSystem(const DMXElement *target) const;

    // Takes every owning reference to the target out of the tree below this
    // element: an ELEMENT attribute holding it leaves its element's list, an
    // ELEMENT_ARRAY loses the item. Neither the target nor its other
    // references are freed. The attribute records taken out are handed to
    // `detached` when given (with their ownership cleared), otherwise freed.
    void dropReferences(const DMXElement *target, QList<DMXAttribute *> *detached = nullptr);

    // Copies the source and everything it owns, each element once (`copies`
    // maps source to copy). Non-owning references in the copies still point at
    // the source's elements; those attributes are appended to `unresolved`
    // for the caller to link.
    static DMXElement *copyOwnedTree(const DMXElement *source,
                                     QHash<const DMXElement *, DMXElement *> &copies,
                                     QList<DMXAttribute *> &unresolved);

    quint16 typeIndex = 0;
    quint16 nameIndex = 0;
    int attributeCount = 0;
    QString type;
    QString name;
    QUuid guid;
    DMXAttributeList attributes;
};

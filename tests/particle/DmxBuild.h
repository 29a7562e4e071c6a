#pragma once

#include "CFilePCF.h"
#include "DMXAttribute.h"
#include "DMXElement.h"

// Small helpers that put particle graphs together in memory for tests.
namespace DmxBuild {

inline DMXElement *element(const QString &type, const QString &name)
{
    auto *out = new DMXElement;
    out->type = type;
    out->name = name;
    return out;
}

inline DMXAttribute *add(DMXElement *owner, const QString &name, uint type, void *value,
                         bool owns = true)
{
    auto *attribute = new DMXAttribute;
    attribute->setName(name);
    attribute->setValue(type, value);
    attribute->setOwnsValue(owns);
    owner->attributes.append(attribute);
    return attribute;
}

inline DMXAttribute *addFloat(DMXElement *owner, const QString &name, float value)
{
    return add(owner, name, ATTRIBUTE_FLOAT, new float(value));
}

inline DMXAttribute *addList(DMXElement *owner, const QString &name,
                             const QList<DMXElement *> &items, bool owns = true)
{
    return add(owner, name, ATTRIBUTE_ELEMENT_ARRAY, new DMXElementList(items), owns);
}

// Appends the element and, recursively, everything it owns to the element
// list, in the order a file would list them.
inline void index(CFilePCF *document, DMXElement *top)
{
    document->elements.append(top);
    for (DMXAttribute *attribute : top->attributes) {
        if (!attribute->ownsValue())
            continue;
        if (DMXElement *single = attribute->element())
            index(document, single);
        else if (DMXElementList *list = attribute->elementList())
            for (DMXElement *item : *list)
                index(document, item);
    }
}

// A new system in the document's list (and element list).
inline DMXElement *addSystem(CFilePCF *document, DMXElement *system)
{
    document->systemList()->append(system);
    index(document, system);
    return system;
}

// A "DmeParticleChild" entry naming a system.
inline DMXElement *childEntry(DMXElement *system)
{
    DMXElement *entry = element(QStringLiteral("DmeParticleChild"), system->name);
    add(entry, QStringLiteral("child"), ATTRIBUTE_ELEMENT, system, false);
    return entry;
}

// Names and type codes of the attributes, in order, as "name:type".
inline QStringList shape(const DMXElement *owner)
{
    QStringList out;
    for (const DMXAttribute *attribute : owner->attributes)
        out << QStringLiteral("%1:%2").arg(attribute->name()).arg(attribute->type());
    return out;
}

// The element and everything it owns as text, one line per attribute
// ("name:type=value"), an owned element's lines indented below it; names of
// the elements themselves and GUIDs left out.
inline QStringList dump(const DMXElement *element, const QString &indent = QString())
{
    QStringList out;
    for (const DMXAttribute *attribute : element->attributes) {
        out << QStringLiteral("%1%2:%3=%4")
                   .arg(indent, attribute->name())
                   .arg(attribute->type())
                   .arg(attribute->valueString());
        if (!attribute->ownsValue())
            continue;
        if (const DMXElement *single = attribute->element())
            out << dump(single, indent + "  ");
        else if (const DMXElementList *list = attribute->elementList())
            for (const DMXElement *item : *list)
                out << indent + "  " + item->name << dump(item, indent + "    ");
    }
    return out;
}

} // namespace DmxBuild

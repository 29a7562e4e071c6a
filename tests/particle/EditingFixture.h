#pragma once

#include "DmxBuild.h"
#include "PCFDelegate.h"

#include <QByteArray>
#include <QStringList>

// Documents for the editing tests, put together in memory.
namespace EditingFixture {

// A template document: a system "default" whose "operators" list offers two
// operators, and a system "empty" owning an empty "operators" list, a
// "renderers" list with one renderer and a "children" list; "empty" also
// holds a plain reference into the template ("base", to "default").
inline CFilePCF *templateDocument(int format = 2)
{
    using namespace DmxBuild;
    CFilePCF *document = newDmxRoot(format);
    DMXElement *fallback = element(QStringLiteral("DmeParticleSystemDefinition"), "default");
    DMXElement *movement = element(QStringLiteral("DmeParticleOperator"), "Movement Basic");
    addFloat(movement, "drag", 0.5f);
    DMXElement *fade = element(QStringLiteral("DmeParticleOperator"), "Alpha Fade");
    addFloat(fade, "fade time", 1.0f);
    addList(fallback, "operators", {movement, fade});
    addSystem(document, fallback);

    DMXElement *empty = element(QStringLiteral("DmeParticleSystemDefinition"), "empty");
    addFloat(empty, "radius", 5.0f);
    addList(empty, "operators", {});
    DMXElement *renderer = element(QStringLiteral("DmeParticleRenderer"), "render_sprite");
    addFloat(renderer, "scale", 1.0f);
    addList(empty, "renderers", {renderer});
    addList(empty, "children", {});
    add(empty, "base", ATTRIBUTE_ELEMENT, fallback, false);
    addSystem(document, empty);
    return document;
}

// A document with systems "fire", "smoke" and "sparks"; "fire" names "smoke"
// as its child, "smoke" names "sparks". Each system has a FLOAT "radius", a
// FLOAT_ARRAY "x" of 1, 2, 3, an "operators" list with one operator and a
// "children" list.
inline CFilePCF *chainDocument(int format = 2)
{
    using namespace DmxBuild;
    CFilePCF *document = newDmxRoot(format);
    QList<DMXElement *> systems;
    for (const char *name : {"fire", "smoke", "sparks"}) {
        DMXElement *system = element(QStringLiteral("DmeParticleSystemDefinition"), name);
        addFloat(system, "radius", 2.0f);
        auto *items = new DMXValueList{new float(1.0f), new float(2.0f), new float(3.0f)};
        add(system, "x", ATTRIBUTE_FLOAT_ARRAY, items);
        DMXElement *op = element(QStringLiteral("DmeParticleOperator"), "Movement Basic");
        addFloat(op, "drag", 0.25f);
        addList(system, "operators", {op});
        addList(system, "children", {});
        systems.append(system);
    }
    for (int i = 0; i < 2; ++i) {
        DMXElement *entry = childEntry(systems[i + 1]);
        systems[i]->attribute("children")->elementList()->append(entry);
    }
    for (DMXElement *system : systems)
        addSystem(document, system);
    return document;
}

// The whole document as text (types, names, GUIDs, attributes and values in
// element order), to compare a document with what a file gives back.
inline QStringList describe(const CFilePCF *document)
{
    QStringList out;
    for (const DMXElement *element : document->elements) {
        out << QStringLiteral("%1 %2 %3")
                   .arg(element->type, element->name, element->guid.toString());
        for (const DMXAttribute *attribute : element->attributes) {
            QString value = attribute->valueString();
            if (const DMXElementList *list = attribute->elementList()) {
                QStringList guids;
                for (const DMXElement *item : *list)
                    guids << item->guid.toString();
                value = guids.join(QLatin1Char(','));
            } else if (const DMXElement *target = attribute->element()) {
                value = target->guid.toString();
            }
            out << QStringLiteral("  %1 %2 %3")
                       .arg(attribute->name())
                       .arg(attribute->type())
                       .arg(value);
        }
    }
    return out;
}

// Writes and reads the document back through the particle file format.
inline bool roundTrip(CFilePCF *document, QStringList *before, QStringList *after)
{
    PCFDelegate delegate;
    QByteArray bytes;
    if (!delegate.writeData(document, document->format, &bytes))
        return false;
    CFilePCF copy;
    if (!delegate.readData(bytes, &copy))
        return false;
    *before = describe(document);
    *after = describe(&copy);
    return true;
}

} // namespace EditingFixture

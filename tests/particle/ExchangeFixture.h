#pragma once

#include "CFilePCF.h"
#include "DmxBuild.h"
#include "FileBytes.h"
#include "PCFDelegate.h"
#include "PCFProgressSink.h"

#include <QFile>
#include <QSet>
#include <QStringList>

// Documents, templates and files for the exchange, batch and manifest tests.
namespace ExchangeFixture {

inline const QString systemType()
{
    return QStringLiteral("DmeParticleSystemDefinition");
}

// A system of the shape the fixture templates keep: "radius", an "operators"
// list with one operator and an empty "children" list.
inline DMXElement *system(const QString &name, float radius = 2.0f)
{
    using namespace DmxBuild;
    DMXElement *out = element(systemType(), name);
    addFloat(out, QStringLiteral("radius"), radius);
    DMXElement *op =
        element(QStringLiteral("DmeParticleOperator"), QStringLiteral("Movement Basic"));
    addFloat(op, QStringLiteral("drag"), 0.5f);
    addList(out, QStringLiteral("operators"), {op});
    addList(out, QStringLiteral("children"), {});
    return out;
}

// A document of the format holding systems of those names, in order.
inline CFilePCF *document(int format, const QStringList &names)
{
    CFilePCF *out = newDmxRoot(format);
    for (const QString &name : names)
        DmxBuild::addSystem(out, system(name));
    return out;
}

// Makes `child` a child system of `parent`.
inline void link(DMXElement *parent, DMXElement *child, CFilePCF *owner)
{
    DMXElement *entry = DmxBuild::childEntry(child);
    parent->attribute(QStringLiteral("children"))->elementList()->append(entry);
    owner->elements.append(entry);
}

// {null, template 1, template 2, template 3}, each with a "default" system of
// the fixture shape; the caller frees them.
inline QList<CFilePCF *> templates()
{
    QList<CFilePCF *> out{nullptr};
    for (int format = 1; format <= 3; ++format)
        out << document(format, {QStringLiteral("default")});
    return out;
}

inline QByteArray bytes(CFilePCF *document, int format = 0)
{
    PCFDelegate delegate;
    QByteArray out;
    delegate.writeData(document, format ? format : document->format, &out);
    return out;
}

// Writes the document to the path and frees it.
inline bool writeDocument(const QString &path, CFilePCF *document)
{
    const bool ok = writeFile(path, bytes(document));
    delete document;
    return ok;
}

inline CFilePCF *readDocument(const QString &path)
{
    auto *out = new CFilePCF;
    PCFDelegate delegate;
    if (!delegate.read(path, out)) {
        delete out;
        return nullptr;
    }
    return out;
}

inline QStringList systemNames(const CFilePCF *document)
{
    QStringList out;
    if (const DMXElementList *list = document->systemList()) {
        for (const DMXElement *item : *list)
            out << item->name;
    }
    return out;
}

// True when no two elements of the list share a GUID and none is null.
inline bool guidsUnique(const QList<DMXElement *> &elements)
{
    QSet<QUuid> seen;
    for (const DMXElement *element : elements) {
        if (element->guid.isNull() || seen.contains(element->guid))
            return false;
        seen.insert(element->guid);
    }
    return true;
}

// Everything a run tells its sink, in order.
class RecordingSink : public PCFProgressSink
{
public:
    void setLabel(const QString &text) override { labels << text; }
    void setRange(int minimum, int maximum) override { ranges << qMakePair(minimum, maximum); }
    void setValue(int value) override { values << value; }
    void message(const QString &text, bool isError) override
    {
        messages << text;
        errors << isError;
    }

    QStringList labels;
    QList<QPair<int, int>> ranges;
    QList<int> values;
    QStringList messages;
    QList<bool> errors;
};

} // namespace ExchangeFixture

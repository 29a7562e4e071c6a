#include "PCFExchange.h"

#include "CFilePCF.h"
#include "DMXGuids.h"
#include "PCFDelegate.h"
#include "PCFEditing.h"
#include "PCFErrors.h"

#include <QFile>
#include <QSet>
#include <QUuid>

#include <memory>

namespace {

QString latin1(const char *text)
{
    return QString::fromLatin1(text);
}

void setWarning(QString *warning, const QString &text)
{
    if (warning)
        *warning = text;
}

// Every copy takes the first of name, name_1, name_2, ... that no system of
// the target and no earlier copy holds.
void makeNamesUnique(const CFilePCF *target, const QList<DMXElement *> &copies)
{
    const QString systemType = latin1(PCFEditing::Names::SystemType);
    QSet<QString> taken;
    for (const DMXElement *element : target->elements) {
        if (element && element->type == systemType)
            taken.insert(element->name);
    }
    for (DMXElement *copy : copies) {
        const QString base = copy->name;
        QString candidate = base;
        for (int counter = 1; taken.contains(candidate); ++counter)
            candidate = base + QLatin1Char('_') + QString::number(counter);
        copy->name = candidate;
        taken.insert(candidate);
    }
}

// Hands the copies to the target: each joins the system list and the flat
// list, followed by everything it owns that the flat list lacks. Systems
// reached only through "child" links are copies themselves and come in their
// own turn.
void adoptCopies(CFilePCF *target, const QList<DMXElement *> &copies)
{
    DMXElementList *systems = target->systemList();
    QSet<const DMXElement *> listed(target->elements.cbegin(), target->elements.cend());
    auto list = [&](DMXElement *element) {
        if (element && !listed.contains(element)) {
            listed.insert(element);
            target->elements.append(element);
        }
    };
    for (DMXElement *copy : copies) {
        systems->append(copy);
        list(copy);
        const DMXReferenceList below = copy->flattenTree();
        for (const DMXReference &reference : below) {
            if (reference.attribute && reference.attribute->ownsValue())
                list(reference.element);
        }
    }
}

} // namespace

namespace PCFExchange {

QList<DMXElement *> systemElements(const CFilePCF *document)
{
    if (!document)
        return {};
    return document->elementsOfType(latin1(PCFEditing::Names::SystemType));
}

QStringList elementNames(const QList<DMXElement *> &elements)
{
    QStringList names;
    for (const DMXElement *element : elements)
        names << (element ? element->name : QString());
    return names;
}

const DMXElement *defaultTemplateSystem(const QList<CFilePCF *> &templates, int format)
{
    const CFilePCF *templateDocument = format > 0 ? templates.value(format) : nullptr;
    if (!templateDocument)
        return nullptr;
    return templateDocument->findParticleSystem(latin1(PCFEditing::Names::DefaultSystem));
}

const PCFKeptList *keptList(const QVector<PCFKeptList> &kept, int format)
{
    return format > 0 && format < kept.size() ? &kept[format] : nullptr;
}

bool mergeSystems(const CFilePCF *source, const QList<DMXElement *> &systems, CFilePCF *target,
                  bool preserveGuids, const QList<CFilePCF *> &templates,
                  const QVector<PCFKeptList> &kept, PCFDelegate *delegate, QString *warning,
                  PCFConversionReport *report)
{
    // A root without a system list has nowhere to take the copies.
    if (!target || target->format == 0 || !target->systemList()) {
        setWarning(warning, latin1(PCFError::ExportFormat));
        return false;
    }
    QList<DMXElement *> copies;
    // The dialogs offer only systems of the source; anything else copies
    // nothing and is no failure.
    if (!source || !source->copySystems(systems, &copies))
        return true;

    makeNamesUnique(target, copies);
    if (!preserveGuids) {
        for (DMXElement *copy : qAsConst(copies))
            copy->guid = QUuid::createUuid();
    }
    const int own = target->elements.size();
    adoptCopies(target, copies);
    // The target's own elements keep their GUIDs, as everything else of
    // theirs: only the copies take new ones where they would repeat one.
    if (!preserveGuids)
        renewGuidsFrom(target->elements, own);

    // Only the copies are conformed, from the encoding they were written
    // for; the target's own systems are already in its encoding.
    PCFDelegate localDelegate;
    PCFDelegate *converter = delegate ? delegate : &localDelegate;
    const QString error = converter->convertSystems(
        target, copies, source->format, target->format,
        defaultTemplateSystem(templates, target->format), report, keptList(kept, target->format));
    if (!error.isNull()) {
        setWarning(warning, error);
        return false;
    }
    return true;
}

bool exportSystems(const QString &path, const CFilePCF *source, const QList<DMXElement *> &systems,
                   bool preserveGuids, const QList<CFilePCF *> &templates,
                   const QVector<PCFKeptList> &kept, PCFDelegate *delegate, QString *warning,
                   PCFConversionReport *report)
{
    PCFDelegate localDelegate;
    PCFDelegate *io = delegate ? delegate : &localDelegate;
    std::unique_ptr<CFilePCF> target;
    if (QFile::exists(path)) {
        target.reset(new CFilePCF);
        if (!io->read(path, target.get())) {
            setWarning(warning, io->error());
            return false;
        }
    } else {
        target.reset(newDmxRoot(source ? source->format : 0));
    }
    if (!mergeSystems(source, systems, target.get(), preserveGuids, templates, kept, io, warning,
                      report))
        return false;
    if (!io->write(path, target.get(), target->format)) {
        setWarning(warning, io->error());
        return false;
    }
    return true;
}

bool ensureUniqueGuids(CFilePCF *document)
{
    return document && regenerateGuids(document->elements);
}

} // namespace PCFExchange

#include "PCFTemplates.h"

#include "CFilePCF.h"
#include "PCFDelegate.h"
#include "PCFTemplateTable.h"

#include <QSet>
#include <algorithm>

namespace {

using namespace PCFTemplateTable;

const char *const fileNames[] = {nullptr, "particle_defaults_orangebox.pcf",
                                 "particle_defaults_l4d.pcf", "particle_defaults_l4d2.pcf"};

const QString functionType = QStringLiteral("DmeParticleOperator");
const QString systemType = QStringLiteral("DmeParticleSystemDefinition");
const QString colorRandom = QStringLiteral("Color Random");
const QString moveBetweenPoints = QStringLiteral("Move Particles Between 2 Control Points");

// Stable identities: the same format and position give the same GUID.
QUuid stableGuid(int format, int position)
{
    static const QUuid space(QStringLiteral("{6f1d8a52-3c0e-4b7a-9e55-2d41c7a0b913}"));
    return QUuid::createUuidV5(space, QStringLiteral("%1/%2").arg(format).arg(position));
}

void addValue(DMXElement *owner, const QString &name, uint type, const char *text)
{
    auto *attribute = new DMXAttribute;
    attribute->name = name;
    attribute->setValue(type, newDmxAttributeValue(type));
    const QString failure = attribute->setValueFromString(QString::fromLatin1(text));
    Q_ASSERT_X(failure.isNull(), "PCFTemplates", text);
    Q_UNUSED(failure)
    owner->attributes.append(attribute);
}

DMXElement *newSystem(int format, const QString &name, bool empty)
{
    auto *system = new DMXElement;
    system->type = systemType;
    system->name = name;
    for (int i = 0; i < functionListCount; ++i) {
        auto *list = new DMXAttribute;
        list->name = QString::fromLatin1(functionLists[i]);
        list->setValue(ATTRIBUTE_ELEMENT_ARRAY, new DMXElementList);
        system->attributes.append(list);
    }
    for (int i = 0; i < systemAttributeCount; ++i) {
        const SystemAttribute &row = systemAttributes[i];
        const char *value = row.values[format - 1];
        if (!value)
            continue;
        if (empty && format == 3 && row.emptyFormat3)
            value = row.emptyFormat3;
        addValue(system, QString::fromLatin1(row.name), row.type, value);
    }
    return system;
}

void addOperatorParameters(DMXElement *function, int format, bool everyFunctionOnly)
{
    for (int i = 0; i < operatorParameterCount; ++i) {
        const OperatorParameter &row = operatorParameters[i];
        if (!inFormat(row.formats, format) || (everyFunctionOnly && !row.everyFunction))
            continue;
        addValue(function, QString::fromLatin1(row.name), row.type, row.value);
    }
}

// `variant` picks the colours of one of the "Color Random" elements.
DMXElement *newFunction(int format, const QString &name, int variant)
{
    auto *function = new DMXElement;
    function->type = functionType;
    function->name = name;
    addValue(function, QStringLiteral("functionName"), ATTRIBUTE_STRING, name.toLatin1());
    const bool lateOperatorParameters = format == 3;
    if (!lateOperatorParameters)
        addOperatorParameters(function, format, false);
    for (int i = 0; i < parameterCount; ++i) {
        const Parameter &row = parameters[i];
        if (!inFormat(row.formats, format) || name != QLatin1String(row.function))
            continue;
        const char *value = row.value;
        if (variant >= 0 && qstrcmp(row.name, "color1") == 0)
            value = colorRandomColors[variant];
        addValue(function, QString::fromLatin1(row.name), row.type, value);
    }
    if (lateOperatorParameters)
        addOperatorParameters(function, format, name == moveBetweenPoints);
    return function;
}

// The function names of a list in a format, case-insensitively sorted; the
// format-3 "initializers" with "Color Random" at its fixed positions.
QStringList functionNames(int format, const QString &list)
{
    QStringList names;
    for (int i = 0; i < functionCount; ++i) {
        if (inFormat(functions[i].formats, format) && list == QLatin1String(functions[i].list))
            names.append(QString::fromLatin1(functions[i].name));
    }
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    if (format == 3 && list == QLatin1String("initializers") && names.removeAll(colorRandom)) {
        for (int i = 0; i < colorRandomCount; ++i)
            names.insert(colorRandomPositions[i] - 1, colorRandom);
    }
    return names;
}

} // namespace

QString PCFTemplates::fileName(int format)
{
    if (format < 1 || format > 3)
        return QString();
    return QString::fromLatin1(fileNames[format]);
}

QString PCFTemplates::resourcePath(int format)
{
    const QString name = fileName(format);
    return name.isNull() ? QString() : QStringLiteral(":/resources/data/") + name;
}

CFilePCF *PCFTemplates::build(int format)
{
    if (format < 1 || format > 3)
        return nullptr;
    CFilePCF *document = newDmxRoot(format);
    DMXElementList *systems = document->systemList();
    DMXElement *defaults = newSystem(format, QStringLiteral("default"), false);
    DMXElement *empty = newSystem(format, QStringLiteral("empty"), true);
    systems->append(defaults);
    systems->append(empty);
    document->elements.append(defaults);
    document->elements.append(empty);

    for (int i = 0; i < functionListCount; ++i) {
        const QString list = QString::fromLatin1(functionLists[i]);
        DMXElementList *items = defaults->attribute(list)->elementList();
        int variant = 0;
        for (const QString &name : functionNames(format, list)) {
            const bool several = format == 3 && name == colorRandom;
            DMXElement *function = newFunction(format, name, several ? variant++ : -1);
            items->append(function);
            document->elements.append(function);
        }
    }
    for (int i = 0; i < document->elements.size(); ++i)
        document->elements[i]->guid = stableGuid(format, i);
    return document;
}

void PCFTemplates::release(QList<CFilePCF *> &templates)
{
    // An entry may be listed twice by a caller that swapped lists; free once.
    const QSet<CFilePCF *> distinct(templates.cbegin(), templates.cend());
    qDeleteAll(distinct);
    templates.clear();
}

void PCFTemplates::reload(QList<CFilePCF *> &templates)
{
    release(templates);
    templates.append(nullptr);
    PCFDelegate reader;
    for (int format = 1; format <= 3; ++format) {
        auto *document = new CFilePCF;
        if (!reader.read(resourcePath(format), document)) {
            delete document;
            document = nullptr;
        }
        templates.append(document);
    }
}

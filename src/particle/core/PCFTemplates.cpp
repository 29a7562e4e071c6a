#include "PCFTemplates.h"

#include "CFilePCF.h"
#include "PCFDelegate.h"
#include "PCFErrors.h"
#include "PCFParameterTable.h"
#include "PCFTemplateTable.h"

#include <QDir>
#include <QSet>
#include <algorithm>

namespace {

using namespace PCFTemplateTable;

const char *const fileNames[] = {nullptr, "particle_defaults_orangebox.pcf",
                                 "particle_defaults_l4d.pcf", "particle_defaults_l4d2.pcf"};

const QString functionType = QStringLiteral("DmeParticleOperator");
const QString systemType = QStringLiteral("DmeParticleSystemDefinition");
const QString colorRandom = QStringLiteral("Color Random");
const QString colorOne = QStringLiteral("color1");

// Stable identities: the same format and position give the same GUID.
QUuid stableGuid(int format, int position)
{
    static const QUuid space(QStringLiteral("{6f1d8a52-3c0e-4b7a-9e55-2d41c7a0b913}"));
    return QUuid::createUuidV5(space, QStringLiteral("%1/%2").arg(format).arg(position));
}

void addValue(DMXElement *owner, const QString &name, uint type, const QString &text)
{
    auto *attribute = new DMXAttribute;
    attribute->setName(name);
    attribute->setValue(type, newDmxAttributeValue(type));
    // The parameter table has checked every default it holds.
    const QString failure = attribute->setValueFromString(text);
    Q_ASSERT_X(failure.isNull(), "PCFTemplates", qPrintable(text));
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
        list->setName(QString::fromLatin1(functionLists[i]));
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
        addValue(system, QString::fromLatin1(row.name), row.type, QString::fromLatin1(value));
    }
    return system;
}

// `variant` picks the colours of one of the "Color Random" elements.
DMXElement *newFunction(const PCFParameterTable::Function &source, int variant)
{
    auto *function = new DMXElement;
    function->type = functionType;
    function->name = source.name;
    for (const PCFParameterTable::Parameter &parameter : source.parameters) {
        QString value = parameter.value;
        if (variant >= 0 && parameter.name == colorOne)
            value = QString::fromLatin1(colorRandomColors[variant]);
        addValue(function, parameter.name, parameter.type, value);
    }
    return function;
}

// The functions of a list, case-insensitively sorted by name; the format-3
// "initializers" with "Color Random" at its fixed positions.
QVector<const PCFParameterTable::Function *> functionsOf(int format, const QString &list,
                                                         const PCFParameterTable &parameters)
{
    QVector<const PCFParameterTable::Function *> out;
    for (const PCFParameterTable::Function &function : parameters.functions()) {
        if (function.list == list)
            out.append(&function);
    }
    std::stable_sort(out.begin(), out.end(), [](const auto *a, const auto *b) {
        return QString::compare(a->name, b->name, Qt::CaseInsensitive) < 0;
    });
    if (format == 3 && list == QLatin1String("initializers")) {
        const PCFParameterTable::Function *colors = parameters.function(list, colorRandom);
        if (colors && out.removeAll(colors)) {
            for (int i = 0; i < colorRandomCount; ++i)
                out.insert(qMin(colorRandomPositions[i] - 1, out.size()), colors);
        }
    }
    return out;
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

bool PCFTemplates::loadParameters(int format, const QString &folder, PCFParameterTable *parameters,
                                  QString *error)
{
    const QString name = dataFileName(format);
    if (name.isNull()) {
        *error = QString::fromLatin1(PCFError::FormatTarget);
        return false;
    }
    const QDir data(folder);
    // The added file holds functions that every game of the generation
    // registers and nearly every real system uses ("Position Within Sphere
    // Random"); without them a conversion would drop them.
    const QString added = QStringLiteral("format%1-added.tsv").arg(format);
    if (!parameters->load(data.filePath(name), false, error) ||
        !parameters->load(data.filePath(added), false, error))
        return false;
    // The third generation very probably has the visibility parameters that
    // its successor declares; with them in the template, a conversion keeps
    // them in a file that holds them instead of dropping them.
    return format != 3 ||
           parameters->load(data.filePath(QStringLiteral("format3-candidates.tsv")), true, error);
}

QString PCFTemplates::dataFileName(int format)
{
    if (format < 1 || format > 3)
        return QString();
    return QStringLiteral("format%1.tsv").arg(format);
}

CFilePCF *PCFTemplates::build(int format, const PCFParameterTable &parameters)
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
        for (const PCFParameterTable::Function *source : functionsOf(format, list, parameters)) {
            const bool several =
                format == 3 && source->name == colorRandom && variant < colorRandomCount;
            DMXElement *function = newFunction(*source, several ? variant++ : -1);
            items->append(function);
            document->elements.append(function);
        }
    }
    for (int i = 0; i < document->elements.size(); ++i)
        document->elements[i]->guid = stableGuid(format, i);
    return document;
}

QString PCFTemplates::keptFileName(int format)
{
    if (format < 1 || format > 3)
        return QString();
    return QStringLiteral("format%1-kept.tsv").arg(format);
}

QString PCFTemplates::keptResourcePath(int format)
{
    const QString name = keptFileName(format);
    return name.isNull() ? QString()
                         : QStringLiteral(":/resources/data/particle-parameters/") + name;
}

void PCFTemplates::reloadKept(QVector<PCFKeptList> &kept)
{
    kept.fill(PCFKeptList(), 4);
    for (int format = 1; format <= 3; ++format) {
        QString error;
        // A list that fails to read keeps nothing: a conversion then drops
        // what the template lacks, and says so, rather than refusing.
        if (!kept[format].load(keptResourcePath(format), &error)) {
            kept[format] = PCFKeptList();
            qWarning("%s", qPrintable(error));
        }
    }
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

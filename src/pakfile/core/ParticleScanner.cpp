#include "ParticleScanner.h"

#include "CFilePCF.h"
#include "CScanFoundList.h"
#include "CScanRecord.h"
#include "DMXAttribute.h"
#include "DMXElement.h"
#include "MaterialScanner.h"
#include "PCFDelegate.h"
#include "PakfileErrors.h"
#include "ScanPath.h"
#include "functions.h"

namespace {

const QString SystemType = QStringLiteral("DmeParticleSystemDefinition");
const QString MaterialAttribute = QStringLiteral("material");
const QString MaterialsPrefix = QStringLiteral("/materials/");
const QString FileKey = QStringLiteral("file");
constexpr QChar PreloadMarker = QLatin1Char('!');

QList<const DMXElement *> chosenSystems(const CFilePCF &document, const QString &systemName)
{
    QList<const DMXElement *> systems;
    if (systemName.isEmpty()) {
        for (const DMXElement *system : document.elementsOfType(SystemType))
            systems.append(system);
        return systems;
    }
    const DMXElement *system = document.findParticleSystem(systemName);
    if (!system)
        return systems;
    systems.append(system);
    // childSystems expands every system once, so a cycle of children ends.
    const DMXReferenceList children = system->childSystems(DMX::NoDepthLimit, 0);
    for (const DMXReference &child : children)
        systems.append(child.element);
    return systems;
}

} // namespace

void scanParticleSystems(const CFilePCF &document, CScanFoundList &found, const MaterialKeys &keys,
                         const QString &baseDirectory, const QString &systemName,
                         QStringList *errors)
{
    const QList<const DMXElement *> systems = chosenSystems(document, systemName);
    for (const DMXElement *system : systems) {
        const DMXAttribute *material = system ? system->attribute(MaterialAttribute) : nullptr;
        if (!material || material->type() != ATTRIBUTE_STRING)
            continue;
        // The value carries its ".vmt" already.
        QString path = MaterialsPrefix + material->valueString();
        ScanPath::clean(path);
        const QString entry = ScanPath::admit(path, found, baseDirectory, errors);
        if (entry.isNull() || !found.add(entry))
            continue;
        followMaterialScript(entry, found, keys, baseDirectory, errors,
                             PakfileError::UnableToReadParticleMaterial);
    }
}

void scanParticleManifest(const QByteArray &bytes, CScanFoundList &found, const MaterialKeys &keys,
                          const QString &baseDirectory, QStringList *errors)
{
    if (baseDirectory.isEmpty())
        return;
    PCFDelegate reader;
    const std::unique_ptr<CScanRecord> record = splitLines(bytes);
    QString key, value, comment;
    for (const QByteArray &line : qAsConst(record->lines)) {
        parseKeyValue(QString::fromLatin1(line), key, value, comment);
        if (key.compare(FileKey, Qt::CaseInsensitive) != 0)
            continue;
        ScanPath::clean(value);
        if (value.startsWith(PreloadMarker)) {
            value.remove(0, 1);
            ScanPath::clean(value);
        }
        if (value.isEmpty())
            continue;
        const QString entry = ScanPath::admit(value, found, baseDirectory, errors);
        // A listed particle file that is missing is not recorded.
        if (entry.isNull() || !ScanPath::isFileBelow(baseDirectory, entry) || !found.add(entry))
            continue;
        CFilePCF document;
        if (reader.read(baseDirectory + entry, &document)) {
            scanParticleSystems(document, found, keys, baseDirectory, QString(), errors);
        } else {
            found.removeLast();
            if (errors)
                errors->append(reader.error());
        }
    }
}

void scanParticleManifestFile(const QString &path, CScanFoundList &found, const MaterialKeys &keys,
                              const QString &baseDirectory, QStringList *errors)
{
    QByteArray bytes;
    if (ScanPath::readWhole(path, bytes))
        scanParticleManifest(bytes, found, keys, baseDirectory, errors);
}

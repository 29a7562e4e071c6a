// The dependency scan of CFileMDL; reading is in CFileMDL.cpp.
#include "CFileMDL.h"

#include "CFilePHY.h"
#include "CScanFoundList.h"
#include "MaterialScanner.h"
#include "PakfileErrors.h"
#include "ScanPath.h"

#include <memory>

namespace {

const QString PhySuffix = QStringLiteral(".phy");
const QString CompanionSuffixes[] = {
    QStringLiteral(".vvd"),    QStringLiteral(".dx90.vtx"), QStringLiteral(".dx80.vtx"),
    QStringLiteral(".sw.vtx"), QStringLiteral(".vtx"),      PhySuffix,
};
const QString MaterialsPrefix = QStringLiteral("/materials/");
const QString ScriptSuffix = QStringLiteral(".vmt");

// Loads a document from base + entry and scans it, or logs that it did not
// load (a missing file included). Only regular files are opened: a pipe would
// block the scan. The nesting guard keeps a long chain of models from
// exhausting the stack.
template <typename T>
void followDocument(const QString &entry, CScanFoundList &found, const MaterialKeys &keys,
                    const QString &baseDirectory, QStringList *errors)
{
    if (!ScanPath::isFileBelow(baseDirectory, entry)) {
        ScanPath::log(errors, PakfileError::UnableToRead, entry);
        return;
    }
    CScanFoundList::Nesting nesting(found);
    if (!nesting.allowed()) {
        ScanPath::log(errors, PakfileError::NestedTooDeeply, entry);
        return;
    }
    QString ignored;
    const std::unique_ptr<T> document(T::fromFile(baseDirectory + entry, ignored));
    if (!document) {
        ScanPath::log(errors, PakfileError::UnableToRead, entry);
        return;
    }
    document->scanDependencies(found, keys, baseDirectory, errors);
}

} // namespace

void CFileMDL::scanDependencies(CScanFoundList &found, const MaterialKeys &keys,
                                const QString &baseDirectory, QStringList *errors) const
{
    scanCompanions(found, keys, baseDirectory, errors);
    scanIncludes(found, keys, baseDirectory, errors);
    scanMaterials(found, keys, baseDirectory, errors);
}

void CFileMDL::followModel(const QString &entry, CScanFoundList &found, const MaterialKeys &keys,
                           const QString &baseDirectory, QStringList *errors)
{
    followDocument<CFileMDL>(entry, found, keys, baseDirectory, errors);
}

// Only for a model loaded from below the game folder: a model built from bytes
// has no folder, and one elsewhere has no companions the scan could name.
void CFileMDL::scanCompanions(CScanFoundList &found, const MaterialKeys &keys,
                              const QString &baseDirectory, QStringList *errors) const
{
    if (m_directory.isEmpty() || baseDirectory.isEmpty() ||
        !m_directory.startsWith(baseDirectory, Qt::CaseInsensitive))
        return;
    const QString stem =
        ScanPath::collapsed(m_directory.mid(baseDirectory.size()) + QLatin1Char('/') + m_baseName);
    for (const QString &suffix : CompanionSuffixes) {
        // Companions are listed whether or not they exist.
        const QString entry = ScanPath::admit(stem + suffix, found, baseDirectory, errors);
        if (entry.isNull() || !found.add(entry))
            continue;
        if (suffix == PhySuffix && ScanPath::isFileBelow(baseDirectory, entry))
            followDocument<CFilePHY>(entry, found, keys, baseDirectory, errors);
    }
}

void CFileMDL::scanIncludes(CScanFoundList &found, const MaterialKeys &keys,
                            const QString &baseDirectory, QStringList *errors) const
{
    for (const MDLIncludeModel &include : includeModels) {
        const QString path = QLatin1Char('/') + ScanPath::textBeforeNul(include.name);
        const QString entry =
            ScanPath::admit(ScanPath::collapsed(path), found, baseDirectory, errors);
        if (entry.isNull() || !found.add(entry))
            continue;
        // Unlike companions, a missing included model is reported.
        if (!baseDirectory.isEmpty())
            followModel(entry, found, keys, baseDirectory, errors);
    }
}

// Each texture name in each texture folder, in that order.
void CFileMDL::scanMaterials(CScanFoundList &found, const MaterialKeys &keys,
                             const QString &baseDirectory, QStringList *errors) const
{
    for (const QByteArray &name : textureNames) {
        for (const QByteArray &directory : textureDirectories) {
            const QString path = MaterialsPrefix + QString::fromLatin1(directory) +
                                 QLatin1Char('/') + QString::fromLatin1(name) + ScriptSuffix;
            const QString entry =
                ScanPath::admit(ScanPath::collapsed(path), found, baseDirectory, errors);
            if (entry.isNull() || !found.add(entry))
                continue;
            followMaterialScript(entry, found, keys, baseDirectory, errors,
                                 PakfileError::UnableToRead);
        }
    }
}

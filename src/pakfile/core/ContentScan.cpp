#include "ContentScan.h"

#include "BspRecords.h"
#include "CDelegateBSP.h"
#include "CFileMDL.h"
#include "CFilePCF.h"
#include "CFilePHY.h"
#include "CPackageHierarchyNode.h"
#include "CPath.h"
#include "CScanRecord.h"
#include "MaterialScanner.h"
#include "PCFDelegate.h"
#include "PakfileErrors.h"
#include "ParticleScanner.h"
#include "ScanPath.h"
#include "SoundScanner.h"
#include "functions.h"

#include <QDir>
#include <QFileInfo>

#include <memory>
#include <vector>

namespace ContentScan {

namespace {

namespace E = PakfileError;

const QString MaterialsPrefix = QStringLiteral("materials/");
const QString SkyboxPrefix = QStringLiteral("materials/skybox/");
const QString SoundPrefix = QStringLiteral("sound/");
const QString ScriptSuffix = QStringLiteral(".vmt");
const QString ParticleFolder = QStringLiteral("particles");
const QString SkySuffixes[] = {QStringLiteral("up"), QStringLiteral("dn"), QStringLiteral("lf"),
                               QStringLiteral("rt"), QStringLiteral("ft"), QStringLiteral("bk")};

bool listed(const QStringList &keys, const QString &key)
{
    return keys.contains(key, Qt::CaseInsensitive);
}

bool is(const QString &key, const char *name)
{
    return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// A configured pattern with every "*" replaced.
QString expanded(const QString &pattern, const QString &value)
{
    QString path = pattern;
    path.replace(QLatin1Char('*'), value);
    normalizePath(path);
    return path;
}

class Scan
{
public:
    Scan(CDelegateBSP &map, quint16 mask, const QString &baseDirectory,
         const Configuration &configuration, Progress *progress)
        : m_map(map)
        , m_mask(mask)
        , m_base(baseDirectory)
        , m_config(configuration)
        , m_progress(progress)
    {}

    Result run()
    {
        loadParticles();
        if (on(PackedPhase))
            scanPacked();
        if (on(Materials))
            scanMaterials();
        if (on(EntityPhase))
            scanEntities();
        if (on(StaticProps))
            scanStaticProps();
        if (on(MapSpecificFiles))
            scanMapFiles();
        m_result.found.dropListings();
        return std::move(m_result);
    }

private:
    enum class Follow
    {
        None,
        Script,
        Model
    };

    bool on(quint16 bits) const { return (m_mask & bits) != 0; }
    void phase(const char *label, int maximum)
    {
        if (m_progress)
            m_progress->phase(QString::fromLatin1(label), maximum);
    }
    void step(int value)
    {
        if (m_progress)
            m_progress->step(value);
    }

    QString record(const QString &path, Follow follow = Follow::None, bool exact = false);
    void loadParticles();
    void scanPacked();
    void scanPackedFile(CPackageHierarchyNode *node, int index);
    template <typename T>
    void scanPackedDocument(int index);
    void scanMaterials();
    void scanEntities();
    void scanEntity(const QString &line);
    void scanStaticProps();
    void scanMapFiles();

    CDelegateBSP &m_map;
    const quint16 m_mask;
    const QString m_base;
    const Configuration &m_config;
    Progress *m_progress;
    Result m_result;
    std::vector<std::unique_ptr<CFilePCF>> m_particles;
};

// Records a path built from the map or the configuration under its on-disk
// spelling, and follows it when it is new. Returns the entry, or a null string
// when nothing was recorded.
QString Scan::record(const QString &path, Follow follow, bool exact)
{
    if (!ScanPath::isFollowable(path)) {
        ScanPath::log(&m_result.errors, E::UnsafePath, path);
        return QString();
    }
    CScanFoundList &found = m_result.found;
    // A resolved path differs from the built one only in case, so a path
    // already there needs no trip to the disk.
    if (!exact && found.contains(path))
        return QString();
    const QString entry = ScanPath::resolved(path, m_base, found.listings());
    if (!(exact ? found.addExact(entry) : found.add(entry)))
        return QString();
    if (follow == Follow::Script)
        followMaterialScript(entry, found, m_config.materialKeys, m_base, &m_result.errors,
                             E::UnableToRead);
    else if (follow == Follow::Model && ScanPath::isFileBelow(m_base, entry))
        CFileMDL::followModel(entry, found, m_config.materialKeys, m_base, &m_result.errors);
    return entry;
}

// The particle files of the game folder, read once: entities name systems,
// not files.
void Scan::loadParticles()
{
    if (m_base.isEmpty())
        return;
    const CPath onDisk =
        CPath(ParticleFolder, false).resolve(m_base, false, m_result.found.listings());
    if (onDisk.isEmpty())
        return;
    const QString folder = onDisk.toString() + QLatin1Char('/');
    const QStringList names =
        QDir(m_base + folder)
            .entryList({QStringLiteral("*.pcf")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    PCFDelegate reader;
    for (const QString &name : names) {
        auto document = std::make_unique<CFilePCF>();
        if (reader.read(m_base + folder + name, document.get()))
            m_particles.push_back(std::move(document));
        else
            ScanPath::log(&m_result.errors, E::UnableToRead, folder + name);
    }
}

void Scan::scanPacked()
{
    const int total = qMax(0, m_map.nodeCount() - BspFormat::LumpCount);
    phase("Scanning packed content...", total);
    for (int i = 0; i < total; ++i) {
        const int index = BspFormat::LumpCount + i;
        CPackageHierarchyNode *node = m_map.node(index);
        // A file marked for deletion will not be in the pakfile.
        if (node && node->isLeaf() && !node->deleted)
            scanPackedFile(node, index);
        step(i + 1);
    }
}

// The packed files themselves are not recorded, only what they name.
void Scan::scanPackedFile(CPackageHierarchyNode *node, int index)
{
    const QString &name = node->name();
    const auto endsWith = [&name](const char *suffix) {
        return name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
    };
    if (on(PackedMaterials) && (endsWith(".vmt") || endsWith(".spr"))) {
        if (m_map.size(node) > MaxScriptBytes)
            return;
        const std::unique_ptr<QByteArray> bytes(m_map.readCurrent(index));
        if (!bytes || bytes->isEmpty())
            return;
        const std::unique_ptr<CScanRecord> record = splitLines(*bytes);
        scanMaterialScript(*record, m_result.found, m_config.materialKeys, m_base,
                           &m_result.errors);
    } else if (on(PackedModels) && endsWith(".mdl")) {
        scanPackedDocument<CFileMDL>(index);
    } else if (on(PackedPhysics) && endsWith(".phy")) {
        scanPackedDocument<CFilePHY>(index);
    }
}

// A packed model or collision model that does not load is skipped silently.
template <typename T>
void Scan::scanPackedDocument(int index)
{
    const std::unique_ptr<QByteArray> bytes(m_map.readCurrent(index));
    if (!bytes)
        return;
    const std::unique_ptr<T> document(T::fromByteArray(*bytes));
    if (document)
        document->scanDependencies(m_result.found, m_config.materialKeys, m_base, &m_result.errors);
}

void Scan::scanMaterials()
{
    const QVector<QByteArray> strings = m_map.texdataStrings();
    phase("Scanning materials...", strings.size());
    for (int i = 0; i < strings.size(); ++i) {
        const QString name = ScanPath::textBeforeNul(strings[i]);
        if (!name.isEmpty()) {
            // A name that already ends in ".vmt" keeps its one suffix.
            QString path = MaterialsPrefix + name;
            if (!name.endsWith(ScriptSuffix, Qt::CaseInsensitive))
                path += ScriptSuffix;
            collapseSeparators(path);
            record(path, Follow::Script);
        }
        step(i + 1);
    }
}

void Scan::scanEntities()
{
    const QVector<QByteArray> lines = m_map.entityLines();
    phase("Scanning entities...", lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = ScanPath::textBeforeNul(lines[i]);
        if (line != QLatin1String("{") && line != QLatin1String("}"))
            scanEntity(line);
        step(i + 1);
    }
}

// The first list that holds the key decides what its value names; scenes and
// special files end the line, the others may still be special files.
void Scan::scanEntity(const QString &line)
{
    QString key, value, comment;
    parseKeyValue(line, key, value, comment);
    QString nv = value;
    normalizePath(nv);
    collapseSeparators(nv);
    const Configuration &c = m_config;

    if (on(Models) && listed(c.studioKeys, key)) {
        // "*n" names a brush model of the map itself.
        if (!nv.isEmpty() && !nv.startsWith(QLatin1Char('*')))
            record(nv, Follow::Model);
    } else if (on(Materials) && listed(c.spriteKeys, key)) {
        if (!nv.isEmpty())
            record(nv, Follow::Script);
    } else if (on(Sounds) && listed(c.soundKeys, key)) {
        if (!nv.isEmpty())
            record(SoundPrefix + nv);
    } else if (on(Particles) && listed(c.particleKeys, key)) {
        for (const auto &document : m_particles) {
            if (!value.isEmpty() && document->findParticleSystem(value))
                scanParticleSystems(*document, m_result.found, c.materialKeys, m_base, value,
                                    &m_result.errors);
        }
    } else if (on(Scenes) && listed(c.sceneKeys, key)) {
        if (!nv.isEmpty())
            record(nv);
        return;
    }

    if (on(SpecialFiles)) {
        for (int i = 0; i < c.specialKeys.size(); ++i) {
            if (c.specialKeys.at(i).compare(key, Qt::CaseInsensitive) != 0)
                continue;
            // An empty value names nothing.
            if (!value.isEmpty())
                record(expanded(c.specialTemplates.value(i), value));
            return;
        }
    }
    if (nv.isEmpty())
        return;
    if (on(DetailSprites) && is(key, "detailmaterial"))
        record(MaterialsPrefix + nv + ScriptSuffix, Follow::Script);
    if (on(Skybox) && is(key, "skyname")) {
        for (const QString &suffix : SkySuffixes)
            record(SkyboxPrefix + nv + suffix + ScriptSuffix, Follow::Script);
    }
}

void Scan::scanStaticProps()
{
    const QVector<QByteArray> names = m_map.staticPropModelNames();
    phase("Scanning static props...", names.size());
    for (int i = 0; i < names.size(); ++i) {
        // Dictionary names are NUL-padded to their fixed width.
        const QString name = ScanPath::textBeforeNul(names[i]);
        if (!name.isEmpty())
            record(name, Follow::Model);
        step(i + 1);
    }
}

// Per-map files are compared with regard to case: two patterns may name two
// files that differ only in case.
void Scan::scanMapFiles()
{
    const int total = m_config.mapFiles.size();
    phase("Scanning map specific files...", total);
    for (int i = 0; i < total; ++i) {
        const QString entry =
            record(expanded(m_config.mapFiles.at(i), m_map.baseName()), Follow::None, true);
        if (!entry.isNull() && !m_base.isEmpty()) {
            const QString kind = m_config.mapFileKinds.value(i);
            if (is(kind, "Soundscape") || is(kind, "Soundscript"))
                scanSoundScriptFile(m_base + entry, m_result.found, m_config.soundCharacters);
            else if (is(kind, "Particle Manifest"))
                scanParticleManifestFile(m_base + entry, m_result.found, m_config.materialKeys,
                                         m_base, &m_result.errors);
        }
        step(i + 1);
    }
}

} // namespace

Result run(CDelegateBSP &map, quint16 mask, const QString &baseDirectory,
           const Configuration &configuration, Progress *progress)
{
    return Scan(map, mask, baseDirectory, configuration, progress).run();
}

Row row(CDelegateBSP &map, const QString &path, const QString &baseDirectory)
{
    Row r;
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    r.name = slash < 0 ? path : path.mid(slash + 1);
    if (slash >= 0) {
        r.directory = path.left(slash);
        normalizePath(r.directory);
    }
    CPackageHierarchyNode *root = map.root();
    CPackageHierarchyNode *node =
        root ? root->findNode(IPackageDelegate::splitPath(path), true) : nullptr;
    // The lumps share the tree with the pakfile; none of them is packed.
    if (node && node->entryIndex >= 0 && node->entryIndex < BspFormat::LumpCount)
        node = nullptr;
    r.packed = node;
    if (!baseDirectory.isEmpty()) {
        const QFileInfo info(baseDirectory + path);
        if (info.isFile() && info.isReadable())
            r.size = info.size();
    }
    return r;
}

} // namespace ContentScan

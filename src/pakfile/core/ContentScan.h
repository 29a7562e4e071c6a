#pragma once

#include "CScanFoundList.h"
#include "MaterialScanner.h"

#include <QString>
#include <QStringList>

class CDelegateBSP;
class CPackageHierarchyNode;

// The content scan of the pakfile editor: which files below a game folder does
// one map need? It walks the map's own packed scripts and models, its texture
// names, its entities, its static props and the configured per-map files,
// follows every script and model it finds on disk through the dependency
// scanners, and returns the paths in the order it found them.
namespace ContentScan {

// Bits of the scan options mask, in the order of the options dialog.
enum Option : quint16
{
    PackedMaterials = 1 << 0,
    PackedModels = 1 << 1,
    PackedPhysics = 1 << 2,
    Materials = 1 << 3,
    Skybox = 1 << 4,
    DetailSprites = 1 << 5,
    Models = 1 << 6,
    Sounds = 1 << 7,
    Scenes = 1 << 8,
    Particles = 1 << 9,
    StaticProps = 1 << 10,
    SpecialFiles = 1 << 11,
    MapSpecificFiles = 1 << 12,
};
constexpr int OptionCount = 13;
constexpr quint16 DefaultMask = 0x1FF9;
constexpr quint16 PackedPhase = PackedMaterials | PackedModels | PackedPhysics;
// Special files act only inside the entity phase; they do not start it.
constexpr quint16 EntityPhase = 0x3F8;

// The configuration lists the scan reads, filled by the caller; each key list
// is compared without regard to case.
struct Configuration
{
    QStringList studioKeys;
    QStringList spriteKeys;
    QStringList soundKeys;
    QStringList sceneKeys;
    QStringList particleKeys;
    // Parallel: a key and a template in which "*" stands for its value.
    QStringList specialKeys;
    QStringList specialTemplates;
    // Parallel: a pattern in which "*" stands for the map's base name, and the
    // kind of file it names.
    QStringList mapFiles;
    QStringList mapFileKinds;
    // What every material script found is scanned with.
    MaterialKeys materialKeys;
    // The sound characters' keys, stripped from a sound script's waves.
    QStringList soundCharacters;
};

// Where the scan reports its phases; the window shows them in its progress
// dialog. The core never touches the interface itself.
class Progress
{
public:
    virtual ~Progress() = default;
    // A new phase of `maximum` steps.
    virtual void phase(const QString &label, int maximum) = 0;
    virtual void step(int value) = 0;
};

struct Result
{
    CScanFoundList found;
    QStringList errors;
};

// Runs the phases the mask switches on. `baseDirectory` is the game folder
// ending in "/" (see ScanDirectory::base), or empty: then nothing is read from
// disk and every path is recorded as built. A path from the map or the
// configuration that would leave the game folder is never recorded or read;
// it is logged as an error instead.
Result run(CDelegateBSP &map, quint16 mask, const QString &baseDirectory,
           const Configuration &configuration, Progress *progress = nullptr);

// One row of the scan table, built from a found path.
struct Row
{
    QString name;
    QString directory; // normalised, without a leading "/"
    // The pakfile file at the same path (not a lump, not a folder), or null.
    CPackageHierarchyNode *packed = nullptr;
    qint64 size = -1; // -1: no game folder, or the file does not open
};
Row row(CDelegateBSP &map, const QString &path, const QString &baseDirectory);

} // namespace ContentScan

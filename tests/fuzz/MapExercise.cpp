#include "MapExercise.h"

#include "CDelegateBSP.h"
#include "CPackageHierarchyNode.h"
#include "FuzzCheck.h"
#include "PackageWalk.h"

#include <QCryptographicHash>
#include <QHash>

#include <memory>

using FuzzCheck::require;

namespace {

namespace F = BspFormat;

const QByteArray NewEntities = "{\n\"classname\" \"worldspawn\"\n\"message\" \"fuzz\"\n}\n";
const QString AddedPath = QStringLiteral("fuzz_added/added.txt");
const QByteArray AddedBytes = "added by the fuzz target";

// A digest of an entry's current bytes; null when they cannot be read (a
// compressed pakfile file, a record pointing outside the lump).
QByteArray digest(IPackageDelegate &map, CPackageHierarchyNode *node)
{
    if (!node)
        return QByteArray();
    std::unique_ptr<QByteArray> bytes(map.readCurrent(node));
    return bytes ? QCryptographicHash::hash(*bytes, QCryptographicHash::Md5) : QByteArray();
}

// Lumps whose bytes a flush keeps as they are: not the edited entity lump,
// not the game lumps (their offsets move) and not the rebuilt pakfile.
bool keptAsIs(int lump)
{
    return lump != F::EntityLump && lump != F::GameLumpLump && lump != F::PakfileLump;
}

struct Snapshot
{
    QByteArray lumps[F::LumpCount];
    QHash<QString, QByteArray> files;
};

Snapshot take(CDelegateBSP &map)
{
    Snapshot s;
    for (int i = 0; i < F::LumpCount; ++i) {
        if (keptAsIs(i))
            s.lumps[i] = digest(map, map.node(i));
    }
    for (int i = F::LumpCount; i < map.nodeCount(); ++i) {
        CPackageHierarchyNode *node = map.node(i);
        const QByteArray d = digest(map, node);
        if (!d.isNull())
            s.files.insert(node->path(true), d);
    }
    return s;
}

void compare(const Snapshot &before, CDelegateBSP &after, const char *what)
{
    for (int i = 0; i < F::LumpCount; ++i) {
        if (keptAsIs(i))
            require(digest(after, after.node(i)) == before.lumps[i], what);
    }
    for (auto it = before.files.cbegin(); it != before.files.cend(); ++it)
        require(digest(after, after.findFile(it.key())) == it.value(), what);
}

// Bytes the pakfile records hold (names, extra fields, comments of both
// headers). Headers that do not share bytes hold at most the archive's bytes
// twice over (local and central); one header read for many records would
// hold far more.
quint64 recordBytes(const CDelegateBSP &map)
{
    quint64 total = 0;
    for (const CPakfileEntry *e : map.pakfileEntries()) {
        total += quint64(e->local.fileName.size() + e->local.extraField.size());
        total += quint64(e->central.fileName.size() + e->central.extraField.size() +
                         e->central.comment.size());
    }
    return total;
}

} // namespace

void MapExercise::run(const QByteArray &bytes)
{
    FuzzCheck::InputFile file(bytes, QStringLiteral("map.bsp"));
    CDelegateBSP map;
    const FuzzCheck::ReaderWork work;
    const bool opened = map.open(file.path(), false);
    FuzzCheck::requireLinear(work.taken(), bytes.size(), 8, 64 * 1024, "map open");
    if (!opened)
        return;
    FuzzCheck::requireLinear(recordBytes(map), bytes.size(), 2, 4096, "pakfile record bytes");
    const qint64 pakfileBefore = map.lump(F::PakfileLump).length;
    PackageWalk::walk(map);
    map.entityLines();
    map.texdataStrings();
    map.staticPropModelNames();

    Snapshot before = take(map);
    require(map.setData(NewEntities, false, map.node(F::EntityLump)), "staging the entity lump");
    const bool added = map.addFile(AddedBytes, false, AddedPath) != nullptr;
    QString removed;
    for (int i = F::LumpCount; i < map.nodeCount() && removed.isNull(); ++i) {
        CPackageHierarchyNode *node = map.node(i);
        const QString path = node ? node->path(true) : AddedPath;
        if (path != AddedPath && map.remove(node))
            removed = path;
    }
    before.files.remove(removed);
    const bool quiet = map.warnings().isEmpty();

    if (!map.flush(nullptr)) {
        require(file.contents() == bytes, "a failed flush changed the map");
        PackageWalk::walk(map);
        return;
    }
    // Every file's bytes are written once and its names at most twice (the
    // local header and the directory), so the pakfile can at most double,
    // besides the added file.
    FuzzCheck::requireLinear(quint64(map.lump(F::PakfileLump).length), pakfileBefore, 2,
                             4096 + quint64(AddedBytes.size()), "flushed pakfile size");
    PackageWalk::walk(map);
    compare(before, map, "the flushing delegate lost bytes");

    CDelegateBSP again;
    if (!again.open(file.path(), true))
        FuzzCheck::failure("a flushed map does not open", again.lastError());
    PackageWalk::walk(again);
    compare(before, again, "the flushed map lost bytes");
    std::unique_ptr<QByteArray> entities(again.readStored(F::EntityLump));
    require(entities && *entities == NewEntities, "the flushed entity lump");
    if (added)
        require(digest(again, again.findFile(AddedPath)) ==
                    QCryptographicHash::hash(AddedBytes, QCryptographicHash::Md5),
                "the added file");
    if (quiet && !removed.isNull())
        require(!again.findFile(removed), "the deleted file is back");
}

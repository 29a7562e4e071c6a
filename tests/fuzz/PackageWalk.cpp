#include "PackageWalk.h"

#include "CPackageHierarchyNode.h"
#include "FuzzCheck.h"
#include "IPackageDelegate.h"

#include <vector>

using FuzzCheck::require;

namespace {

// Path look-ups cost the depth of the node each; a sample keeps the walk
// itself linear.
constexpr int PathLookups = 1000;

} // namespace

qint64 PackageWalk::walk(IPackageDelegate &package)
{
    CPackageHierarchyNode *root = package.root();
    if (!root)
        return 0;
    qint64 names = 0;
    int folders = 0;
    int files = 0;
    std::vector<CPackageHierarchyNode *> pending{root};
    while (!pending.empty()) {
        CPackageHierarchyNode *node = pending.back();
        pending.pop_back();
        names += node->name().size();
        if (node->entryIndex >= 0)
            require(package.node(node->entryIndex) == node, "a node's table slot holds another");
        if (node != root) {
            (node->isFolder() ? folders : files) += 1;
            if (folders + files <= PathLookups)
                require(package.findNode(node->path(true)) == node, "a path finds another node");
        }
        for (int i = node->childCount() - 1; i >= 0; --i)
            pending.push_back(node->child(unsigned(i)));
    }
    require(root->folderCount() == folders && root->fileCount() == files, "folder totals");
    package.sizes(root);

    for (int i = 0; i < package.nodeCount(); ++i) {
        if (!package.hasNode(i))
            continue;
        require(package.node(i)->entryIndex == i, "a table slot holds a node of another index");
        if (!package.hasFile(i))
            continue;
        FuzzCheck::DiscardingDevice sink;
        if (package.writeStored(&sink, i))
            require(sink.written() == package.storedSize(i), "an entry's bytes and stored size");
    }
    return names;
}

bool PackageWalk::openAndWalk(IPackageDelegate &package, const QString &path, qint64 inputSize)
{
    const FuzzCheck::ReaderWork work;
    const bool opened = package.open(path, true);
    FuzzCheck::requireLinear(work.taken(), inputSize, 2, 4096, "package open");
    if (!opened)
        return false;
    // A name is at most MaxPathLength characters, for a record of at least
    // 18 bytes.
    FuzzCheck::requireLinear(quint64(walk(package)), inputSize, 64, 4096, "names in the tree");
    return true;
}

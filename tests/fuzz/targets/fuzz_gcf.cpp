// GCF cache files: directory, block tables and the data they chain.
#include "CDelegateGCF.h"
#include "CPackageHierarchyNode.h"
#include "CacheFixture.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"
#include "PackageWalk.h"

int fuzzOne(const QByteArray &input)
{
    FuzzCheck::InputFile file(input, QStringLiteral("game.gcf"));
    CDelegateGCF cache;
    if (PackageWalk::openAndWalk(cache, file.path(), input.size()))
        cache.fragmentation(cache.root());
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    CacheFixture f;
    f.items = {CacheItem::folder("", CacheFixture::NoParent), CacheItem::folder("maps", 0),
               CacheItem::file("frag.bin", 1, QByteArray(40, 'a'), {5, 6, 9}),
               CacheItem::file("exact.bin", 1, QByteArray(16, 'b'), {0}),
               CacheItem::file("empty.txt", 0, QByteArray())};
    CacheItem split = CacheItem::file("split.bin", 0, QByteArray(40, 'd'));
    split.segments = {{3}, {7, 8}};
    f.items.append(split);
    const QByteArray chainsToFFFFFFFF = f.build().bytes;
    f.terminatorMode = 0;
    return {chainsToFFFFFFFF, f.build().bytes};
}

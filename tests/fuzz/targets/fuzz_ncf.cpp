// NCF cache files: a directory without data.
#include "CDelegateNCF.h"
#include "CacheFixture.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"
#include "PackageWalk.h"

int fuzzOne(const QByteArray &input)
{
    FuzzCheck::InputFile file(input, QStringLiteral("game.ncf"));
    CDelegateNCF cache;
    PackageWalk::openAndWalk(cache, file.path(), input.size());
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    CacheFixture f;
    f.gcf = false;
    f.items = {CacheItem::folder("", CacheFixture::NoParent),
               CacheItem::folder("maps", 0),
               CacheItem::file("a.bsp", 1, QByteArray(30, 'a')),
               CacheItem::file("Readme.txt", 0, "first"),
               CacheItem::file("README.TXT", 0, "x"),
               CacheItem::folder("b", 6),
               CacheItem::folder("c", 5)};
    return {f.build().bytes};
}

// 4000 items whose names start inside one name of 16 KiB without a NUL: each
// a different suffix, so every one is a new name of up to 16 KiB.
#include "CacheFixture.h"
#include "FuzzRegression.h"

FUZZ_REGRESSION(ncf_overlapping_names)
{
    constexpr int Items = 4000;
    CacheFixture f;
    f.gcf = false;
    f.items.append(CacheItem::folder("", CacheFixture::NoParent));
    f.items.append(CacheItem::file(QByteArray(16384, 'n'), 0, QByteArray()));
    for (int i = 2; i < Items; ++i)
        f.items.append(CacheItem::file(QByteArray(), 0, QByteArray()));
    CacheLayout layout = f.build();
    ByteBuilder patched;
    patched.bytes(layout.bytes);
    for (int i = 1; i < Items; ++i)
        patched.patchU32(layout.entryField(i, 0), quint32(i - 1));
    return patched.data();
}

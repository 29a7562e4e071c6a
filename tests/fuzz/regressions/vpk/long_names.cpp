// One extension of 16 KiB shared by 4000 files: the names built from it must
// not cost its length once per file. A folder path of 2 MiB over 100,000
// files: looking it up must not cost its length once per file either.
#include "FuzzRegression.h"
#include "VpkFixture.h"

namespace {

QByteArray package(const QByteArray &extension, const QByteArray &folder, int files)
{
    VpkTree tree;
    tree.ext(extension).path(folder);
    for (int i = 0; i < files; ++i)
        tree.file("f" + QByteArray::number(i), 0, 0, 0);
    const QByteArray directory = VpkFixture::directory(1, tree.finish());
    ByteBuilder b;
    b.u32(quint32(directory.size())).bytes(directory);
    return b.data();
}

} // namespace

FUZZ_REGRESSION(vpk_long_extension)
{
    return package(QByteArray(16384, 'e'), "folder", 4000);
}

FUZZ_REGRESSION(vpk_long_folder)
{
    return package("txt", QByteArray(2 * 1024 * 1024, 'f'), 100000);
}

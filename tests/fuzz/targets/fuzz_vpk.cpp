// VPK directories with their first archive. The input is the directory's size
// (32-bit), the directory file, then the bytes of "pak01_000.vpk".
#include "CDelegateVPK.h"
#include "FuzzCheck.h"
#include "FuzzTarget.h"
#include "PackageWalk.h"
#include "VpkFixture.h"

#include <QtEndian>

int fuzzOne(const QByteArray &input)
{
    const quint32 directorySize = input.size() >= 4 ? qFromLittleEndian<quint32>(input.data()) : 0;
    const QByteArray body = input.mid(4);
    const QByteArray directory = body.left(int(qMin<quint32>(directorySize, quint32(body.size()))));
    FuzzCheck::InputFile file(directory, QStringLiteral("pak01_dir.vpk"));
    FuzzCheck::require(file.add(QStringLiteral("pak01_000.vpk"), body.mid(directory.size())),
                       "writing the archive");
    CDelegateVPK package;
    PackageWalk::openAndWalk(package, file.path(), input.size());
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    VpkTree tree;
    tree.ext("txt")
        .path("docs")
        .file("readme", 0, 0, 11)
        .file("notes", 0, 12, 5, "pre:")
        .path(" ")
        .file("top", VpkTree::InDirectory, 2, 6);
    tree.ext("cfg").path("/cfg/sub/").file("preonly", 5, 0, 0, "PRELOAD ONLY");
    const QByteArray tree1 = tree.finish();
    const QByteArray archive = "hello world ABCDE";
    const QByteArray embedded = "..inside..";
    QList<QByteArray> seeds;
    for (const QByteArray &directory :
         {VpkFixture::directory(1, tree1, embedded), VpkFixture::directory(2, tree1, embedded, 7),
          tree1 + embedded}) {
        ByteBuilder b;
        b.u32(quint32(directory.size())).bytes(directory).bytes(archive);
        seeds << b.data();
    }
    return seeds;
}

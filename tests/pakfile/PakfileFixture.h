#pragma once

#include "MapBuilder.h"

#include <QProcess>
#include <QStandardPaths>

// A version-20 map whose pakfile holds four files with real CRCs (outside
// tools check them) and the comment "abc"; further entries may be added.
inline MapFixture pakfileMap(ZipFixture *zipOut = nullptr,
                             const QList<QPair<QByteArray, QByteArray>> &more = {})
{
    ZipFixture z;
    z.add("materials/a.vmt", "alpha").crc = 0xd0e0396a;
    z.add("materials/sub/b.vtf", QByteArray(100, 'b')).crc = 0x250162db;
    z.add("readme.txt", "r").crc = 0x6c09ff9d;
    z.add("models/m.dx90.vtx", "xyz").crc = 0xeb8eba67;
    for (const auto &entry : more)
        z.add(entry.first, entry.second);
    z.archiveComment = "abc";
    MapFixture m;
    m.lumps[0] = "{\n\"classname\" \"worldspawn\"\n}\n";
    m.lumps[40] = z.build();
    if (zipOut)
        *zipOut = z;
    return m;
}

inline bool zipToolsPresent()
{
    return !QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty();
}

// An outside judge of a zip archive, or of the pakfile lump of a map: python3's
// zipfile reads every entry back against its CRC. "name=hex" per entry, then
// "#" and the archive comment in hex; nothing when the archive fails.
inline QStringList pythonZip(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import io, struct, sys, zipfile\n"
                                 "d = open(sys.argv[1], 'rb').read()\n"
                                 "if d[:4] == b'VBSP':\n"
                                 "    o, n = struct.unpack_from('<ii', d, 8 + 40 * 16)\n"
                                 "    d = d[o:o + n]\n"
                                 "z = zipfile.ZipFile(io.BytesIO(d))\n"
                                 "assert z.testzip() is None\n"
                                 "print(*[f + '=' + z.read(f).hex() for f in z.namelist()],\n"
                                 "      '#' + z.comment.hex())\n"),
                  path});
    python.waitForFinished(30000);
    return QString::fromLatin1(python.readAllStandardOutput())
        .trimmed()
        .split(' ', Qt::SkipEmptyParts);
}

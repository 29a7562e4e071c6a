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

// Outside judges of a zip archive: "unzip -t" and python3's zipfile (every
// entry read back against its CRC). Empty when both accept it, else why not;
// the archive's comment as python reads it goes to `comment`.
inline QString zipVerdict(const QString &archive, QByteArray *comment)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-t"), archive});
    if (!unzip.waitForFinished(30000) || unzip.exitCode() != 0)
        return QStringLiteral("unzip: ") + QString::fromLocal8Bit(unzip.readAllStandardOutput());
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"),
                                             QStringLiteral("import sys, zipfile\n"
                                                            "z = zipfile.ZipFile(sys.argv[1])\n"
                                                            "assert z.testzip() is None\n"
                                                            "sys.stdout.buffer.write(z.comment)\n"),
                                             archive});
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return QStringLiteral("python: ") + QString::fromLocal8Bit(python.readAllStandardError());
    *comment = python.readAllStandardOutput();
    return QString();
}

// Speed of the package code against minimal baselines. Usage:
//   bench_package [crc] [flush] [mapopen] [folder] [vpk] [--rounds N]
//                 [--map-mb N] [--dir FOLDER]
// Without names every benchmark runs. Inputs are made in FOLDER (default: a
// temporary folder) and removed afterwards.
#include "BenchInputs.h"
#include "BenchRunner.h"
#include "CDelegateBSP.h"
#include "CDelegateVPK.h"
#include "CPackageHierarchyNode.h"
#include "ZipCrc32.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#ifdef OSTREL_BENCH_ZLIB
#include <zlib.h>
#endif
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

constexpr int PakfileFiles = 20000;
constexpr int PakfileFileSize = 1024;
constexpr int FolderFiles = 50000;
constexpr int VpkEntries = 200000;
volatile quint32 g_sink = 0;

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "bench_package: %s\n", qPrintable(what));
    std::exit(1);
}

// --- baselines: the least work that reads or writes the same bytes ----------

#ifndef OSTREL_BENCH_ZLIB
quint32 bytewiseCrc(const char *data, qint64 size)
{
    static quint32 table[256];
    if (!table[1]) {
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    }
    quint32 crc = 0xFFFFFFFFu;
    for (qint64 i = 0; i < size; ++i)
        crc = table[(crc ^ quint8(data[i])) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
#endif

quint32 baselineCrc(const QByteArray &data)
{
#ifdef OSTREL_BENCH_ZLIB
    return quint32(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
#else
    return bytewiseCrc(data.constData(), data.size());
#endif
}

// Copies a file in 1 MiB pieces and syncs the copy, as `dd bs=1M conv=fsync`.
void copyFile(const QString &from, const QString &to)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail("cannot copy " + from);
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 n; (n = in.read(chunk.data(), chunk.size())) > 0;)
        out.write(chunk.constData(), n);
    out.flush();
#ifdef Q_OS_UNIX
    ::fsync(out.handle());
#endif
}

// Reads a map's header and the pakfile's central directory and counts its
// names: what an open must do at least.
int walkCentralDirectory(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail("cannot open " + path);
    const QByteArray header = f.read(1036);
    const qint64 lump = qFromLittleEndian<qint32>(header.constData() + 8 + 40 * 16);
    const qint64 length = qFromLittleEndian<qint32>(header.constData() + 8 + 40 * 16 + 4);
    f.seek(lump + length - 22);
    const QByteArray end = f.read(22);
    const int count = qFromLittleEndian<quint16>(end.constData() + 10);
    f.seek(lump + qFromLittleEndian<quint32>(end.constData() + 16));
    const QByteArray directory = f.read(qFromLittleEndian<quint32>(end.constData() + 12));
    int names = 0;
    for (int at = 0, i = 0; i < count && at + 46 <= directory.size(); ++i, ++names)
        at += 46 + qFromLittleEndian<quint16>(directory.constData() + at + 28);
    return names;
}

// Walks a VPK directory's strings and records without keeping anything.
int walkVpkTree(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail("cannot open " + path);
    const QByteArray bytes = f.readAll();
    const char *p = bytes.constData() + 12;
    const char *end = bytes.constData() + bytes.size();
    auto next = [&]() {
        const char *s = p;
        p = static_cast<const char *>(std::memchr(p, 0, size_t(end - p))) + 1;
        return p - s > 1;
    };
    int entries = 0;
    while (next())
        while (next())
            while (next()) {
                const int preload = qFromLittleEndian<quint16>(p + 4);
                p += 18 + preload;
                ++entries;
            }
    return entries;
}

// --- benchmarks ----------------------------------------------------------------

void crcBench(BenchRunner &runner)
{
    QByteArray data(64 << 20, Qt::Uninitialized);
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i * 131 ^ (i >> 11));
    if (computeCrc32(crc32Table(), data.constData(), data.size()) != baselineCrc(data))
        fail("CRC-32 differs from the baseline");
#ifdef OSTREL_BENCH_ZLIB
    const QString baseline = QStringLiteral("zlib crc32");
#else
    const QString baseline = QStringLiteral("bytewise");
#endif
    runner.run(
        "crc", [&] { g_sink ^= computeCrc32(crc32Table(), data.constData(), data.size()); },
        baseline, [&] { g_sink ^= baselineCrc(data); }, {}, data.size() / 1e6, "MB");
}

void mapBench(BenchRunner &runner, const QString &dir, int mapMb, bool flush, bool open)
{
    const QString map = dir + "/bench.bsp";
    if (!BenchInputs::writeMap(map, qint64(mapMb) << 20, PakfileFiles, PakfileFileSize))
        fail("cannot write " + map);
    const double mb = QFileInfo(map).size() / 1e6;
    if (flush) {
        runner.run(
            "flush",
            [&] {
                CDelegateBSP d;
                if (!d.open(map, false) || !d.flush(nullptr))
                    fail("flush: " + d.lastError());
            },
            "copy+fsync", [&] { copyFile(map, dir + "/copy.bin"); }, {}, mb, "MB");
        QFile::remove(dir + "/copy.bin");
    }
    if (open) {
        runner.run(
            "mapopen",
            [&] {
                CDelegateBSP d;
                if (!d.open(map, true) || d.pakfileEntries().size() != PakfileFiles)
                    fail("open: " + d.lastError());
            },
            "directory walk",
            [&] {
                if (walkCentralDirectory(map) != PakfileFiles)
                    fail("directory walk");
            });
    }
}

void folderBench(BenchRunner &runner)
{
    QVector<QString> names;
    for (int i = 0; i < FolderFiles; ++i)
        names.append(QStringLiteral("file_%1.vmt").arg(i));
    runner.run(
        "folder",
        [&] {
            auto root = std::make_unique<CPackageHierarchyNode>();
            root->setName("root");
            root->makeFolder();
            QStringList parts{"big", QString()};
            for (const QString &name : qAsConst(names)) {
                parts[1] = name;
                root->createPath(parts, true);
            }
            if (root->fileCount() != FolderFiles)
                fail("folder");
        },
        "QHash of names",
        [&] {
            QHash<QString, int> index;
            for (int i = 0; i < names.size(); ++i)
                index.insert(names[i].toCaseFolded(), i);
            g_sink ^= quint32(index.size());
        });
}

void vpkBench(BenchRunner &runner, const QString &dir)
{
    const QString path = dir + "/pak01_dir.vpk";
    if (!BenchInputs::writeVpkDirectory(path, VpkEntries))
        fail("cannot write " + path);
    runner.run(
        "vpk",
        [&] {
            CDelegateVPK vpk;
            if (!vpk.open(path, true) || vpk.nodeCount() != VpkEntries)
                fail("vpk: " + vpk.lastError());
        },
        "tree walk",
        [&] {
            if (walkVpkTree(path) != VpkEntries)
                fail("tree walk");
        });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList wanted;
    int rounds = 5;
    int mapMb = 256;
    QString folder;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--rounds" && i + 1 < args.size())
            rounds = args[++i].toInt();
        else if (args[i] == "--map-mb" && i + 1 < args.size())
            mapMb = args[++i].toInt();
        else if (args[i] == "--dir" && i + 1 < args.size())
            folder = args[++i];
        else
            wanted << args[i];
    }
    const QStringList all{"crc", "flush", "mapopen", "folder", "vpk"};
    if (wanted.isEmpty())
        wanted = all;
    for (const QString &name : qAsConst(wanted)) {
        if (!all.contains(name))
            fail("unknown benchmark " + name);
    }
    QTemporaryDir temporary(folder.isEmpty() ? QDir::tempPath() + "/bench_package-XXXXXX"
                                             : folder + "/bench_package-XXXXXX");
    if (!temporary.isValid())
        fail("cannot make a working folder");
    // Messages of the code under test would only disturb the timings.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    BenchRunner runner(rounds);
    if (wanted.contains("crc"))
        crcBench(runner);
    if (wanted.contains("flush") || wanted.contains("mapopen"))
        mapBench(runner, temporary.path(), mapMb, wanted.contains("flush"),
                 wanted.contains("mapopen"));
    if (wanted.contains("folder"))
        folderBench(runner);
    if (wanted.contains("vpk"))
        vpkBench(runner, temporary.path());
    return 0;
}

// Speed of the package code against minimal baselines. Usage:
//   bench_package [crc] [vpk] [mapopen] [flush] [hostile] [folder]
//                 [--rounds N] [--map-mb N] [--dir FOLDER] [--no-memory]
// Without names every benchmark runs. Inputs are made in FOLDER (default: a
// temporary folder) and removed afterwards. Peak memory is measured in a
// fresh child process per measure (this program run with --child).
#include "BenchRunner.h"
#include "CDelegateBSP.h"
#include "CDelegateVPK.h"
#include "CPackageHierarchyNode.h"
#include "PackageInputs.h"
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
#include <vector>

#include <unistd.h>
#include <zlib.h>

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

quint32 zlibCrc(const QByteArray &data)
{
    return quint32(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
}

// Copies a file in 1 MiB pieces, as `dd bs=1M` does; with `sync` the copy is
// synced as well (`conv=fsync`).
void copyFile(const QString &from, const QString &to, bool sync)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail("cannot copy " + from);
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 n; (n = in.read(chunk.data(), chunk.size())) > 0;)
        out.write(chunk.constData(), n);
    out.flush();
    if (sync)
        ::fsync(out.handle());
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

// A minimal parse of a VPK directory: every record with its folder (one
// string per folder) and its name, as any reader of the directory keeps them.
struct MinimalVpkRecord
{
    QString folder;
    QString name;
    quint32 crc;
    quint16 preload;
    quint16 archive;
    quint32 offset;
    quint32 length;
};

int minimalVpkParse(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail("cannot open " + path);
    const QByteArray bytes = f.readAll();
    const char *p = bytes.constData() + 12;
    const char *end = bytes.constData() + bytes.size();
    auto next = [&](const char *&s) {
        s = p;
        p = static_cast<const char *>(std::memchr(p, 0, size_t(end - p))) + 1;
        return int(p - s - 1);
    };
    std::vector<MinimalVpkRecord> records;
    const char *s = nullptr;
    for (int n; (n = next(s)) > 0;) {
        const QString extension = QLatin1Char('.') + QString::fromLatin1(s, n);
        for (int m; (m = next(s)) > 0;) {
            const QString folder = QString::fromLatin1(s, m);
            for (int k; (k = next(s)) > 0;) {
                MinimalVpkRecord r{folder,
                                   QString::fromLatin1(s, k) + extension,
                                   qFromLittleEndian<quint32>(p),
                                   qFromLittleEndian<quint16>(p + 4),
                                   qFromLittleEndian<quint16>(p + 6),
                                   qFromLittleEndian<quint32>(p + 8),
                                   qFromLittleEndian<quint32>(p + 12)};
                p += 18 + r.preload;
                records.push_back(std::move(r));
            }
        }
    }
    return int(records.size());
}

// --- children: one measure each, for its peak memory ----------------------------

int childMain(const QStringList &args)
{
    const QString what = args.value(0);
    const QString path = args.value(1);
    if (what == "vpk-open") {
        CDelegateVPK vpk;
        if (!vpk.open(path, true))
            return 1;
    } else if (what == "vpk-parse") {
        g_sink ^= quint32(minimalVpkParse(path));
    } else if (what == "mapopen") {
        CDelegateBSP map;
        if (!map.open(path, true))
            return 1;
    } else if (what == "flush") {
        CDelegateBSP map;
        if (!map.open(path, false) || !map.flush(nullptr))
            return 1;
    } else if (what == "copy") {
        copyFile(path, path + ".copy", false);
        QFile::remove(path + ".copy");
    } else {
        return 2;
    }
    BenchRunner::printPeak();
    return 0;
}

// --- benchmarks ----------------------------------------------------------------

void crcBench(BenchRunner &runner)
{
    QByteArray data(64 << 20, Qt::Uninitialized);
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i * 131 ^ (i >> 11));
    if (computeCrc32(crc32Table(), data.constData(), data.size()) != zlibCrc(data))
        fail("CRC-32 differs from the baseline");
    const BenchRunner::Medians m = runner.run(
        "crc", [&] { g_sink ^= computeCrc32(crc32Table(), data.constData(), data.size()); },
        "zlib crc32", [&] { g_sink ^= zlibCrc(data); }, {}, data.size() / 1e6, "MB");
    BenchRunner::figure("crc", QStringLiteral("%1x the speed of zlib's crc32 (goal >= 0.9x)")
                                   .arg(m.project > 0 ? m.baseline / m.project : 0, 0, 'f', 2));
}

void vpkBench(BenchRunner &runner, const QString &dir, bool memory)
{
    const QString path = dir + "/pak01_dir.vpk";
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(PackageInputs::vpkDirectory(VpkEntries)) <= 0)
        fail("cannot write " + path);
    out.close();
    const BenchRunner::Medians m = runner.run(
        "vpk",
        [&] {
            CDelegateVPK vpk;
            if (!vpk.open(path, true) || vpk.nodeCount() != VpkEntries)
                fail("vpk: " + vpk.lastError());
        },
        "minimal parse",
        [&] {
            if (minimalVpkParse(path) != VpkEntries)
                fail("minimal parse");
        });
    BenchRunner::figure(
        "vpk", QStringLiteral("%1x a minimal parse (goal <= 3x)").arg(m.ratio(), 0, 'f', 2));
    if (memory) {
        BenchRunner::figure("vpk", QStringLiteral("peak %1, minimal parse %2 (goal <= 60 MB)")
                                       .arg(BenchRunner::childPeak({"vpk-open", path}),
                                            BenchRunner::childPeak({"vpk-parse", path})));
    }
}

void mapBench(BenchRunner &runner, const QString &dir, int mapMb, bool flush, bool open,
              bool memory)
{
    const QString map = dir + "/bench.bsp";
    QFile out(map);
    if (!out.open(QIODevice::WriteOnly) ||
        !PackageInputs::writeMap(out, qint64(mapMb) << 20, PakfileFiles, PakfileFileSize))
        fail("cannot write " + map);
    out.close();
    const double mb = QFileInfo(map).size() / 1e6;
    const QString copy = dir + "/copy.bin";
    if (open) {
        const BenchRunner::Medians m = runner.run(
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
        BenchRunner::figure("mapopen", QStringLiteral("%1 ms for a %2 MB map with %3 pakfile "
                                                      "files (goal <= 100 ms)")
                                           .arg(m.project, 0, 'f', 1)
                                           .arg(mb, 0, 'f', 0)
                                           .arg(PakfileFiles));
    }
    if (flush) {
        // Every round starts as a first save does, without a backup to
        // replace, and the copy without a file to overwrite.
        const auto prepare = [&] {
            QFile::remove(map + ".backup");
            QFile::remove(copy);
        };
        const BenchRunner::Medians m = runner.run(
            "flush",
            [&] {
                CDelegateBSP d;
                if (!d.open(map, false) || !d.flush(nullptr))
                    fail("flush: " + d.lastError());
            },
            "dd conv=fsync", [&] { copyFile(map, copy, true); }, prepare, mb, "MB");
        // The goal is set against a synced copy: a save must reach the disk
        // before it renames, which a plain copy never waits for.
        BenchRunner::figure("flush",
                            QStringLiteral("open + flush %1x `dd bs=1M conv=fsync` (goal <= 2x)")
                                .arg(m.ratio(), 0, 'f', 2));
        const double plain = runner.time(
            "dd bs=1M", [&] { copyFile(map, copy, false); }, prepare);
        BenchRunner::figure("flush", QStringLiteral("%1x `dd bs=1M` (unsynced; for reference)")
                                         .arg(plain > 0 ? m.project / plain : 0, 0, 'f', 2));
        prepare();
        if (memory) {
            BenchRunner::figure(
                "flush", QStringLiteral("peak %1, dd %2 (goal <= largest pakfile file + 64 MB)")
                             .arg(BenchRunner::childPeak({"flush", map}),
                                  BenchRunner::childPeak({"copy", map})));
        }
        QFile::remove(map + ".backup");
    }
}

// Maps whose pakfile records all point before a run of junk: the open must
// take time linear in records + junk (it fails at the first record).
void hostileBench(BenchRunner &runner, const QString &dir)
{
    struct Size
    {
        int records;
        int junk;
    };
    const Size sizes[] = {{9000, 512 * 1024}, {50000, 2816 * 1024}};
    double times[2] = {};
    qint64 bytes[2] = {};
    for (int i = 0; i < 2; ++i) {
        const QString path = dir + QStringLiteral("/hostile%1.bsp").arg(i);
        const QByteArray map = PackageInputs::pakfileBeforeJunk(sizes[i].records, sizes[i].junk);
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(map) != map.size())
            fail("cannot write " + path);
        out.close();
        bytes[i] = map.size();
        times[i] = runner.time(QStringLiteral("hostile%1").arg(i), [&] {
            CDelegateBSP d;
            g_sink ^= quint32(d.open(path, true));
        });
    }
    BenchRunner::figure("hostile",
                        QStringLiteral("%1 ms for %2 MB, %3 ms for %4 MB: time grows %5x for "
                                       "%6x the input (goal: linear, well under 100 ms)")
                            .arg(times[0], 0, 'f', 1)
                            .arg(bytes[0] / 1e6, 0, 'f', 1)
                            .arg(times[1], 0, 'f', 1)
                            .arg(bytes[1] / 1e6, 0, 'f', 1)
                            .arg(times[0] > 0 ? times[1] / times[0] : 0, 0, 'f', 1)
                            .arg(double(bytes[1]) / bytes[0], 0, 'f', 1));
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    // Messages of the code under test would only disturb the timings.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    if (args.value(0) == "--child")
        return childMain(args.mid(1));

    BenchOptions options;
    if (!options.parse(args, {"crc", "vpk", "mapopen", "flush", "hostile", "folder"},
                       {{"--map-mb", 300}}))
        fail("unknown benchmark " + options.wanted.value(0));
    const QString folder = options.folder;
    QTemporaryDir temporary(folder.isEmpty() ? QDir::tempPath() + "/bench_package-XXXXXX"
                                             : folder + "/bench_package-XXXXXX");
    if (!temporary.isValid())
        fail("cannot make a working folder");

    BenchRunner runner(options.rounds);
    if (options.runs("crc"))
        crcBench(runner);
    if (options.runs("vpk"))
        vpkBench(runner, temporary.path(), options.memory);
    if (options.runs("flush") || options.runs("mapopen"))
        mapBench(runner, temporary.path(), options.numbers.value("--map-mb"), options.runs("flush"),
                 options.runs("mapopen"), options.memory);
    if (options.runs("hostile"))
        hostileBench(runner, temporary.path());
    if (options.runs("folder"))
        folderBench(runner);
    return 0;
}

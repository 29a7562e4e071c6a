// Work that must stay linear in its input, against minimal baselines. Usage:
//   bench_linear [scan] [entsave] [vtfopen] [--rounds N] [--dir FOLDER]
//                [--files N] [--refs N] [--entities N] [--side N]
// Without names every measure runs (headless: QT_QPA_PLATFORM=offscreen).
//   scan     the pakfile content scan of a map naming --refs materials in a
//            game folder of --files scripts: all names cased as on disk, 10%
//            in other capitals, and 10% in other capitals against ten times
//            the files (goal: miscased within 3x of cased; 10x the files in
//            at most 12x the time), beside a scan that lists each folder once.
//   entsave  the entity editor building the lump of --entities entities and of
//            ten times as many (goal: at most 12x the time), beside the core
//            build alone.
//   vtfopen  opening a --side square RGBA8888 texture with all its levels,
//            in a fresh process, against reading the file (goal: peak at most
//            1.2x the file + 20 MB, time at most 1.5x).
#include "BenchRunner.h"
#include "CDelegateBSP.h"
#include "CFileVTF.h"
#include "ChildMeasure.h"
#include "ContentScan.h"
#include "EntityLump.h"
#include "VENTITY.h"
#include "VTFFixture.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int Folders = 20;
volatile qint64 g_sink = 0;

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "bench_linear: %s\n", qPrintable(what));
    std::exit(1);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        fail("cannot write " + path);
}

// --- content scan ---------------------------------------------------------------

QString materialName(int i, int files)
{
    return QStringLiteral("Set%1/Mat_%2")
        .arg(i % Folders, 2, 10, QLatin1Char('0'))
        .arg(i % files, 6, 10, QLatin1Char('0'));
}

// A game folder of `files` small scripts spread over Folders folders.
QString makeGame(const QString &root, int files)
{
    const QString base = root + QStringLiteral("/game%1/").arg(files);
    const QByteArray script = "\"LightmappedGeneric\"\n{\n\t\"$surfaceprop\" \"metal\"\n}\n";
    for (int i = 0; i < files; ++i)
        writeFile(base + "materials/" + materialName(i, files) + ".vmt", script);
    return base;
}

// A version-20 map whose texture names are the given materials: the header,
// the entity lump, an empty pakfile and the texture-name lump.
QString makeMap(const QString &path, const QStringList &materials)
{
    QByteArray names;
    for (const QString &name : materials)
        names += name.toLatin1() + '\0';
    QByteArray lumps[64];
    lumps[0] = "{\n\"classname\" \"worldspawn\"\n}\n";
    lumps[40] = QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0');
    lumps[43] = names;
    QByteArray out("VBSP", 4);
    auto i32 = [&out](qint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    i32(20);
    qint32 offset = 1036;
    for (const QByteArray &lump : lumps) {
        i32(lump.isEmpty() ? 0 : offset);
        i32(lump.size());
        i32(0);
        i32(0);
        offset += lump.size();
    }
    i32(1);
    for (const QByteArray &lump : lumps)
        out += lump;
    writeFile(path, out);
    return path;
}

// The least a scan must do: list each folder once, look every name up in the
// listing without regard to case and read the script it names.
int minimalScan(const QString &base, const QStringList &materials)
{
    QHash<QString, QHash<QString, QString>> listings;
    int found = 0;
    for (const QString &material : materials) {
        const QStringList levels = ("materials/" + material + ".vmt").split('/');
        QString folder = base;
        bool ok = true;
        for (const QString &level : levels) {
            auto listing = listings.find(folder);
            if (listing == listings.end()) {
                QHash<QString, QString> names;
                QDirIterator it(folder, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
                while (it.hasNext()) {
                    const QString name = QFileInfo(it.next()).fileName();
                    names.insert(name.toCaseFolded(), name);
                }
                listing = listings.insert(folder, names);
            }
            const QString name = listing->value(level.toCaseFolded());
            if (name.isEmpty()) {
                ok = false;
                break;
            }
            folder += name + '/';
        }
        if (!ok)
            continue;
        folder.chop(1);
        QFile file(folder);
        if (file.open(QIODevice::ReadOnly))
            found += file.readAll().isEmpty() ? 0 : 1;
    }
    return found;
}

void scanBench(BenchRunner &runner, const QString &root, int files, int refs)
{
    std::printf("making game folders of %d and %d files...\n", files, files * 10);
    std::fflush(stdout);
    const QString small = makeGame(root, files);
    const QString large = makeGame(root, files * 10);
    QStringList cased;
    QStringList miscased;
    for (int i = 0; i < refs; ++i) {
        // Spread over every folder and the whole folder.
        const QString name = materialName(int(qint64(i) * 7919 % files), files);
        cased.append(name);
        miscased.append(i % 10 == 0 ? name.toUpper() : name);
    }
    QStringList largeMiscased;
    for (int i = 0; i < refs; ++i) {
        const QString name = materialName(int(qint64(i) * 7919 % (files * 10)), files * 10);
        largeMiscased.append(i % 10 == 0 ? name.toUpper() : name);
    }

    struct Case
    {
        const char *name;
        QString base;
        QString map;
        QStringList materials;
    };
    const Case cases[] = {
        {"cased", small, makeMap(root + "/cased.bsp", cased), cased},
        {"miscased", small, makeMap(root + "/miscased.bsp", miscased), miscased},
        {"10xfiles", large, makeMap(root + "/large.bsp", largeMiscased), largeMiscased},
    };
    double times[3] = {};
    int index = 0;
    for (const Case &c : cases) {
        CDelegateBSP map;
        if (!map.open(c.map, true))
            fail("cannot open " + c.map);
        int found = 0;
        const BenchRunner::Medians m = runner.run(
            QStringLiteral("scan %1").arg(c.name),
            [&] {
                const ContentScan::Result result = ContentScan::run(
                    map, ContentScan::Materials, c.base, ContentScan::Configuration());
                found = result.found.size();
            },
            "list-once scan", [&] { g_sink += minimalScan(c.base, c.materials); });
        if (found <= 0)
            fail("scan found nothing");
        times[index++] = m.project;
    }
    BenchRunner::figure("scan", QStringLiteral("%1 references, 10% miscased: %2x the cased scan "
                                               "(goal <= 3x)")
                                    .arg(refs)
                                    .arg(times[0] > 0 ? times[1] / times[0] : 0, 0, 'f', 2));
    BenchRunner::figure("scan", QStringLiteral("%1 -> %2 files: %3x the time (goal <= 12x)")
                                    .arg(files)
                                    .arg(files * 10)
                                    .arg(times[1] > 0 ? times[2] / times[1] : 0, 0, 'f', 2));
}

// --- entity editor save ------------------------------------------------------------

QByteArray entityText(int count)
{
    QByteArray text = "{\n\"classname\" \"worldspawn\"\n\"mapversion\" \"1\"\n}\n";
    for (int i = 1; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        text += "{\n\"classname\" \"prop_static\"\n\"origin\" \"" + n +
                " 16 -32\"\n"
                "\"angles\" \"0 90 0\"\n\"model\" \"models/props/crate_" +
                n +
                ".mdl\"\n"
                "\"targetname\" \"crate_" +
                n + "\"\n\"skin\" \"0\"\n\"spawnflags\" \"256\"\n}\n";
    }
    return text;
}

void entitySaveBench(BenchRunner &runner, int entities)
{
    double saves[2] = {};
    for (int k = 0; k < 2; ++k) {
        const int count = entities * (k == 0 ? 1 : 10);
        QByteArray text = entityText(count);
        VENTITY window(nullptr, QString());
        window.show();
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        window.parseEntityLump(&buffer, buffer.size());
        const QVector<CEntity> parsed = EntityLump::parse(text);
        QVector<const CEntity *> pointers;
        for (const CEntity &entity : parsed)
            pointers.append(&entity);
        QByteArray built;
        const BenchRunner::Medians m = runner.run(
            QStringLiteral("entsave %1").arg(count), [&] { built = window.buildEntityLump(); },
            "core build", [&] { g_sink += EntityLump::build(pointers, [](int) {}).size(); });
        if (built.isEmpty())
            fail("entity save built nothing");
        saves[k] = m.project;
    }
    BenchRunner::figure("entsave", QStringLiteral("%1 -> %2 entities: %3x the time (goal <= 12x)")
                                       .arg(entities)
                                       .arg(entities * 10)
                                       .arg(saves[0] > 0 ? saves[1] / saves[0] : 0, 0, 'f', 2));
}

// --- texture open ------------------------------------------------------------------

void textureOpenBench(const QString &root, int side, int rounds)
{
    int mips = 1;
    while ((side >> (mips - 1)) > 1)
        ++mips;
    const QString path = root + "/big.vtf";
    {
        VTFFixture f = VTFFixture::from(QStringLiteral("7.2 format:0 bpp:4"));
        f.width = f.height = quint16(side);
        f.mips = mips;
        writeFile(path, f.build());
    }
    const double fileMB = QFileInfo(path).size() / 1048576.0;
    QVector<double> open, read, openPeak, readPeak;
    for (int round = 0; round < qMax(1, rounds); ++round) {
        const ChildMeasure::Result o = ChildMeasure::run({"--child", "vtfopen", path});
        const ChildMeasure::Result r = ChildMeasure::run({"--child", "vtfread", path});
        if (!o.ok || !r.ok)
            fail("texture open failed");
        open.append(o.ms), openPeak.append(o.peakMB);
        read.append(r.ms), readPeak.append(r.peakMB);
    }
    auto median = [](QVector<double> v) {
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };
    std::printf("%-8s project %9.1f ms, peak %.1f MB | read the file %9.1f ms, peak %.1f MB | "
                "file %.1f MB\n",
                "vtfopen", median(open), median(openPeak), median(read), median(readPeak), fileMB);
    BenchRunner::figure("vtfopen",
                        QStringLiteral("time %1x reading the file (goal <= 1.5x); peak %2 MB, "
                                       "goal <= %3 MB (1.2x the file + 20 MB)")
                            .arg(median(read) > 0 ? median(open) / median(read) : 0, 0, 'f', 2)
                            .arg(median(openPeak), 0, 'f', 1)
                            .arg(fileMB * 1.2 + 20, 0, 'f', 1));
}

int childMain(const QStringList &args)
{
    const QString path = args.value(1);
    QElapsedTimer timer;
    timer.start();
    if (args.value(0) == "vtfopen") {
        QString error;
        const std::unique_ptr<CFileVTF> texture(CFileVTF::fromFile(path, error));
        ChildMeasure::answer(texture != nullptr, timer.nsecsElapsed() / 1e6);
        return 0;
    }
    if (args.value(0) == "vtfread") {
        QFile file(path);
        const bool ok = file.open(QIODevice::ReadOnly) && file.readAll().size() == file.size();
        ChildMeasure::answer(ok, timer.nsecsElapsed() / 1e6);
        return 0;
    }
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    // Messages of the code under test would only disturb the timings.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // A child loads no widgets: their memory would count in its peak.
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0) {
        QCoreApplication app(argc, argv);
        return childMain(app.arguments().mid(2));
    }
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    BenchOptions options;
    if (!options.parse(
            args, {"scan", "entsave", "vtfopen"},
            {{"--files", 10000}, {"--refs", 2000}, {"--entities", 20000}, {"--side", 4096}}))
        fail("unknown benchmark " + options.wanted.value(0));
    QTemporaryDir temporary(options.workingFolderTemplate("bench_linear"));
    if (!temporary.isValid())
        fail("cannot make a working folder");

    BenchRunner runner(options.rounds);
    if (options.runs("scan"))
        scanBench(runner, temporary.path(), qMax(Folders, options.numbers.value("--files")),
                  qMax(10, options.numbers.value("--refs")));
    if (options.runs("entsave"))
        entitySaveBench(runner, qMax(2, options.numbers.value("--entities")));
    if (options.runs("vtfopen"))
        textureOpenBench(temporary.path(), qBound(16, options.numbers.value("--side"), 16384),
                         options.rounds);
    return 0;
}

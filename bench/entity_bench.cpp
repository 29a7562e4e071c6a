// Speed of reading entity lump text against a minimal parse. Usage:
//   entity_bench [load] [--rounds N] [--entities N] [--dir FOLDER] [--no-memory]
// `load` reads a lump file of N entities (default 200,000, about 1.43 million
// key/value pairs) as the entity editor opens one, against reading the same
// file and cutting it into quoted pairs with nothing else (goal: at most 3x).
// Peak memory is measured in a fresh child process per side (this program
// run with --child).
#include "BenchRunner.h"
#include "EntityLump.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

volatile quint32 g_sink = 0;

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "entity_bench: %s\n", qPrintable(what));
    std::exit(1);
}

// Entity lump text as a compiler writes it: 6 to 9 pairs per entity, about
// 7.14 on average, outputs repeating their key.
QByteArray entityText(int entities)
{
    static const char *const classes[] = {
        "prop_static", "light", "info_target", "func_door", "trigger_multiple", "env_sprite"};
    QByteArray text;
    text.reserve(entities * 260);
    for (int i = 0; i < entities; ++i) {
        const QByteArray n = QByteArray::number(i);
        text += "{\n\"classname\" \"";
        text += classes[i % 6];
        text += "\"\n\"origin\" \"" + QByteArray::number(i % 4096 - 2048) + ' ' +
                QByteArray::number(i / 4096) + " 64\"\n";
        text += "\"angles\" \"0 " + QByteArray::number(i % 360) + " 0\"\n";
        text += "\"targetname\" \"entity_" + n + "\"\n";
        text += "\"model\" \"models/props/prop_" + QByteArray::number(i % 50) + ".mdl\"\n";
        text += "\"spawnflags\" \"0\"\n";
        for (int k = 0; k < i % 3; ++k)
            text += "\"OnTrigger\" \"entity_" + n + ",FireUser1,,0,-1\"\n";
        if (i % 7 == 0)
            text += "\"message\" \"A message for entity " + n + "\"\n";
        text += "}\n";
    }
    text += '\0';
    return text;
}

// The least work that gives the same entities: every quoted text is a key or
// a value, braces open and close entities.
QVector<CEntity> minimalParse(const QByteArray &text, int from)
{
    QVector<CEntity> entities;
    CEntity open;
    QString key;
    bool haveKey = false;
    const char *p = text.constData() + from;
    const char *const end = text.constData() + text.size();
    while (p < end) {
        if (*p == '"') {
            const auto *close =
                static_cast<const char *>(std::memchr(p + 1, '"', size_t(end - p - 1)));
            if (!close)
                break;
            QString token = QString::fromLatin1(p + 1, int(close - p - 1));
            if (haveKey)
                open.insertKeyValue(key, token);
            else
                key = std::move(token);
            haveKey = !haveKey;
            p = close + 1;
            continue;
        }
        if (*p == '}') {
            entities.append(std::move(open));
            open = CEntity();
            haveKey = false;
        }
        ++p;
    }
    return entities;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail("cannot open " + path);
    return file.readAll();
}

QVector<CEntity> projectLoad(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail("cannot open " + path);
    QVector<CEntity> entities;
    QString error;
    if (!EntityLump::readLumpFile(&file, entities, error))
        fail(error);
    return entities;
}

QVector<CEntity> baselineLoad(const QString &path)
{
    // The lump file's 20-byte header is passed over.
    return minimalParse(readAll(path), 20);
}

qint64 pairCount(const QVector<CEntity> &entities)
{
    qint64 pairs = 0;
    for (const CEntity &entity : entities)
        pairs += entity.pairCount();
    return pairs;
}

int childMain(const QStringList &args)
{
    const QString what = args.value(0);
    const QString path = args.value(1);
    if (what == "load")
        g_sink ^= quint32(projectLoad(path).size());
    else if (what == "minimal")
        g_sink ^= quint32(baselineLoad(path).size());
    else
        return 2;
    BenchRunner::printPeak();
    return 0;
}

void loadBench(BenchRunner &runner, const QString &dir, int entities, bool memory)
{
    const QString path = dir + "/entities.lmp";
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(EntityLump::lumpFileBytes(entityText(entities))) <= 0)
        fail("cannot write " + path);
    out.close();
    const QVector<CEntity> ours = projectLoad(path);
    const QVector<CEntity> theirs = baselineLoad(path);
    const qint64 pairs = pairCount(ours);
    if (ours.size() != entities || pairs != pairCount(theirs))
        fail("the two sides read different entities");
    std::printf("load     %d entities, %lld key/value pairs, %.1f MB of text\n", entities,
                static_cast<long long>(pairs), QFileInfo(path).size() / 1e6);
    const BenchRunner::Medians m = runner.run(
        "load", [&] { g_sink ^= quint32(projectLoad(path).size()); }, "minimal parse",
        [&] { g_sink ^= quint32(baselineLoad(path).size()); });
    BenchRunner::figure(
        "load", QStringLiteral("%1x a minimal parse (goal <= 3x)").arg(m.ratio(), 0, 'f', 2));
    if (memory) {
        BenchRunner::figure("load", QStringLiteral("peak %1, minimal parse %2")
                                        .arg(BenchRunner::childPeak({"load", path}),
                                             BenchRunner::childPeak({"minimal", path})));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    if (args.value(0) == "--child")
        return childMain(args.mid(1));

    BenchOptions options;
    if (!options.parse(args, {"load"}, {{"--entities", 200000}}))
        fail("unknown benchmark " + options.wanted.value(0));
    QTemporaryDir temporary(options.workingFolderTemplate(QStringLiteral("entity_bench")));
    if (!temporary.isValid())
        fail("cannot make a working folder");

    BenchRunner runner(options.rounds);
    if (options.runs("load"))
        loadBench(runner, temporary.path(), options.numbers.value("--entities"), options.memory);
    return 0;
}

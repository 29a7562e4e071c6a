// The replay test of one fuzz target, built without libFuzzer:
//
//   fuzz_replay_<name> [FILE_OR_FOLDER...]   replays the seeds, the generated
//                                            regressions and every file given
//   fuzz_replay_<name> --regressions FOLDER  the same with the files kept in
//                                            FOLDER, which need not exist yet
//   fuzz_replay_<name> --write-seeds FOLDER  writes the seeds as a corpus
//
// Each input passes through fuzzOne() once; the first crash, sanitizer report
// or failed check ends the run, after the input's name was printed.
#include "FuzzCheck.h"
#include "FuzzRegression.h"
#include "FuzzTarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

int replayed = 0;

void replay(const QString &label, const QByteArray &input)
{
    std::fprintf(stderr, "replaying %s (%d bytes)\n", qPrintable(label), int(input.size()));
    std::fflush(stderr);
    fuzzOne(input);
    ++replayed;
}

// A folder's inputs: every file except the generators and notes kept there.
QStringList inputsOf(const QString &folder)
{
    QStringList out;
    const QDir dir(folder);
    for (const QFileInfo &info : dir.entryInfoList(QDir::Files, QDir::Name)) {
        const QString suffix = info.suffix();
        if (suffix != QLatin1String("cpp") && suffix != QLatin1String("md"))
            out << info.filePath();
    }
    return out;
}

int writeSeeds(const QString &folder)
{
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    const QList<QByteArray> seeds = fuzzSeeds();
    for (int i = 0; i < seeds.size(); ++i) {
        QFile file(
            QDir(folder).filePath(QStringLiteral("seed-%1").arg(i, 3, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(seeds[i]) != seeds[i].size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    std::printf("%d seeds in %s\n", int(seeds.size()), qPrintable(folder));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    FuzzCheck::quietMessages();
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--write-seeds"))
        return args.size() == 2 ? writeSeeds(args[1]) : 2;
    if (args.value(0) == QLatin1String("--regressions")) {
        if (args.size() != 2)
            return 2;
        args = QFileInfo(args[1]).isDir() ? QStringList{args[1]} : QStringList();
    }

    const QList<QByteArray> seeds = fuzzSeeds();
    for (int i = 0; i < seeds.size(); ++i)
        replay(QStringLiteral("seed %1").arg(i), seeds[i]);
    for (const FuzzRegression::Entry &entry : FuzzRegression::registry())
        replay(QString::fromLatin1(entry.name), entry.make());
    for (const QString &arg : qAsConst(args)) {
        const QStringList files = QFileInfo(arg).isDir() ? inputsOf(arg) : QStringList{arg};
        for (const QString &path : files) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            replay(path, file.readAll());
        }
    }
    std::printf("%d inputs replayed cleanly\n", replayed);
    return 0;
}

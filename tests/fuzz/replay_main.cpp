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

int writeSeeds(const QDir &folder)
{
    const QList<QByteArray> seeds = fuzzSeeds();
    for (int i = 0; i < seeds.size(); ++i) {
        const QString path = folder.filePath(QStringLiteral("seed-%1").arg(i, 3, 10, QChar('0')));
        if (!writeFile(path, seeds[i])) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    std::printf("%d seeds in %s\n", int(seeds.size()), qPrintable(folder.path()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    FuzzCheck::quietMessages();
    QStringList args = app.arguments().mid(1);
    const bool seeding = args.value(0) == QLatin1String("--write-seeds");
    if (seeding || args.value(0) == QLatin1String("--regressions")) {
        if (args.size() != 2)
            return 2;
        if (seeding)
            return writeSeeds(QDir(args[1]));
        args = QFileInfo(args[1]).isDir() ? args.mid(1) : QStringList();
    }

    const QList<QByteArray> seeds = fuzzSeeds();
    for (int i = 0; i < seeds.size(); ++i)
        replay(QStringLiteral("seed %1").arg(i), seeds[i]);
    for (const FuzzRegression::Entry &entry : FuzzRegression::registry())
        replay(QString::fromLatin1(entry.name), entry.make());
    for (const QString &arg : qAsConst(args)) {
        QStringList files{arg};
        if (QFileInfo(arg).isDir()) {
            // The folder's inputs: every file but the generators and notes kept there.
            files.clear();
            for (const QFileInfo &info : QDir(arg).entryInfoList(QDir::Files, QDir::Name))
                if (info.suffix() != QLatin1String("cpp") && info.suffix() != QLatin1String("md"))
                    files << info.filePath();
        }
        for (const QString &path : qAsConst(files)) {
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

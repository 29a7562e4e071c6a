#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// The command line every benchmark program takes: names of the measures to
// run (none: all), --rounds N, --dir FOLDER for the inputs, --no-memory, and
// numeric options of the program's own (e.g. --map-mb N).
struct BenchOptions
{
    QStringList wanted;
    int rounds = 5;
    bool memory = true;
    QString folder;
    QHash<QString, int> numbers;

    // False (with the offending argument in `wanted`) for a measure not in
    // `all`.
    bool parse(const QStringList &arguments, const QStringList &all,
               const QHash<QString, int> &defaults);
    bool runs(const QString &measure) const { return wanted.contains(measure); }
    // The template of the program's working folder: "<program>-XXXXXX" in
    // --dir, or else in the system's temporary folder.
    QString workingFolderTemplate(const QString &program) const;
};

// Times the project's code against a baseline, alternating the two for a
// number of rounds, and prints the median of each and their ratio.
class BenchRunner
{
public:
    struct Medians
    {
        double project = 0; // milliseconds
        double baseline = 0;
        double ratio() const { return baseline > 0 ? project / baseline : 0; }
    };

    explicit BenchRunner(int rounds);

    // `prepare` (untimed) runs before every timed call of either side.
    // `units`, when not 0, is the amount of work per call (e.g. bytes) for a
    // throughput column labelled `unit` per second.
    Medians run(const QString &name, const std::function<void()> &project,
                const QString &baselineName, const std::function<void()> &baseline,
                const std::function<void()> &prepare = {}, double units = 0,
                const QString &unit = QString());

    // Median time in milliseconds of `work` alone, printed as one line.
    double time(const QString &name, const std::function<void()> &work,
                const std::function<void()> &prepare = {});

    // One line stating a figure against its goal, e.g. "vpk: 2.1x the
    // baseline (goal <= 3x)".
    static void figure(const QString &name, const QString &text);

    // Peak resident memory, in MB, of this program run again with
    // `--child` and the arguments: a fresh process per measure, so nothing
    // the parent touched counts. -1 when the child fails.
    static double childPeakMegabytes(const QStringList &arguments);
    // In a child: prints the process's peak resident memory (VmHWM) for
    // childPeakMegabytes.
    static void printPeak();
    // childPeakMegabytes() as text: "12.3 MB", or "(failed)".
    static QString childPeak(const QStringList &arguments);

private:
    static double median(QVector<double> values);
    int m_rounds;
};

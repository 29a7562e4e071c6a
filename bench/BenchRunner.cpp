#include "BenchRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

bool BenchOptions::parse(const QStringList &arguments, const QStringList &all,
                         const QHash<QString, int> &defaults)
{
    numbers = defaults;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        const bool valued = i + 1 < arguments.size();
        if (a == "--rounds" && valued)
            rounds = arguments[++i].toInt();
        else if (a == "--dir" && valued)
            folder = arguments[++i];
        else if (a == "--no-memory")
            memory = false;
        else if (numbers.contains(a) && valued)
            numbers[a] = arguments[++i].toInt();
        else
            wanted << a;
    }
    if (wanted.isEmpty())
        wanted = all;
    for (const QString &name : qAsConst(wanted)) {
        if (!all.contains(name)) {
            wanted = QStringList{name};
            return false;
        }
    }
    return true;
}

QString BenchOptions::workingFolderTemplate(const QString &program) const
{
    return (folder.isEmpty() ? QDir::tempPath() : folder) + QLatin1Char('/') + program +
           QStringLiteral("-XXXXXX");
}

BenchRunner::BenchRunner(int rounds)
    : m_rounds(qMax(1, rounds))
{}

double BenchRunner::median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

BenchRunner::Medians BenchRunner::run(const QString &name, const std::function<void()> &project,
                                      const QString &baselineName,
                                      const std::function<void()> &baseline,
                                      const std::function<void()> &prepare, double units,
                                      const QString &unit)
{
    QVector<double> ours;
    QVector<double> theirs;
    auto timed = [&](const std::function<void()> &work) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        return timer.nsecsElapsed() / 1e6;
    };
    // Alternating spreads a busy moment of the machine over both sides.
    for (int round = 0; round < m_rounds; ++round) {
        ours.append(timed(project));
        theirs.append(timed(baseline));
    }
    Medians m;
    m.project = median(ours);
    m.baseline = median(theirs);
    auto rate = [&](double ms) {
        return units > 0
                   ? QStringLiteral(" (%1 %2/s)").arg(units / (ms / 1000), 0, 'f', 1).arg(unit)
                   : QString();
    };
    std::printf("%-8s project %9.1f ms%s | %s %9.1f ms%s | ratio %.2f (%d rounds, medians)\n",
                qPrintable(name), m.project, qPrintable(rate(m.project)), qPrintable(baselineName),
                m.baseline, qPrintable(rate(m.baseline)), m.ratio(), m_rounds);
    std::fflush(stdout);
    return m;
}

double BenchRunner::time(const QString &name, const std::function<void()> &work,
                         const std::function<void()> &prepare)
{
    QVector<double> times;
    for (int round = 0; round < m_rounds; ++round) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    const double m = median(times);
    std::printf("%-8s %9.1f ms (%d rounds, median)\n", qPrintable(name), m, m_rounds);
    std::fflush(stdout);
    return m;
}

void BenchRunner::figure(const QString &name, const QString &text)
{
    std::printf("%-8s => %s\n", qPrintable(name), qPrintable(text));
    std::fflush(stdout);
}

double BenchRunner::childPeakMegabytes(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList{"--child"} + arguments);
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0)
        return -1;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("peak-kb "))
            return line.mid(8).toDouble() / 1024.0;
    }
    return -1;
}

void BenchRunner::printPeak()
{
    qint64 kb = -1;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                kb = line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    if (kb < 0) {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        kb = usage.ru_maxrss;
    }
    std::printf("peak-kb %lld\n", static_cast<long long>(kb));
    std::fflush(stdout);
}

QString BenchRunner::childPeak(const QStringList &arguments)
{
    const double mb = childPeakMegabytes(arguments);
    return mb < 0 ? QStringLiteral("(failed)") : QStringLiteral("%1 MB").arg(mb, 0, 'f', 1);
}

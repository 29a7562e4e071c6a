#include "BenchRunner.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

BenchRunner::BenchRunner(int rounds)
    : m_rounds(qMax(1, rounds))
{}

double BenchRunner::median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void BenchRunner::run(const QString &name, const std::function<void()> &project,
                      const QString &baselineName, const std::function<void()> &baseline,
                      const std::function<void()> &prepare, double units, const QString &unit)
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
    const double a = median(ours);
    const double b = median(theirs);
    auto rate = [&](double ms) {
        return units > 0
                   ? QStringLiteral(" (%1 %2/s)").arg(units / (ms / 1000), 0, 'f', 1).arg(unit)
                   : QString();
    };
    std::printf("%-8s project %9.1f ms%s | %s %9.1f ms%s | ratio %.2f (%d rounds, medians)\n",
                qPrintable(name), a, qPrintable(rate(a)), qPrintable(baselineName), b,
                qPrintable(rate(b)), b > 0 ? a / b : 0.0, m_rounds);
    std::fflush(stdout);
}

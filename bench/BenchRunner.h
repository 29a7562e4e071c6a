#pragma once

#include <QString>
#include <QVector>

#include <functional>

// Times the project's code against a baseline, alternating the two for a
// number of rounds, and prints the median of each and their ratio.
class BenchRunner
{
public:
    explicit BenchRunner(int rounds);

    // `prepare` (untimed) runs before every timed call of either side.
    // `units`, when not 0, is the amount of work per call (e.g. bytes) for a
    // throughput column labelled `unit` per second.
    void run(const QString &name, const std::function<void()> &project, const QString &baselineName,
             const std::function<void()> &baseline, const std::function<void()> &prepare = {},
             double units = 0, const QString &unit = QString());

private:
    static double median(QVector<double> values);
    int m_rounds;
};

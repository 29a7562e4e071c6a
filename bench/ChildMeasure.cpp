#include "ChildMeasure.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <sys/resource.h>

namespace {

const char AnswerTag[] = "child-result";

} // namespace

namespace ChildMeasure {

double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
}

void answer(bool ok, double ms, double otherMs)
{
    std::printf("%s %d %.3f %.1f %.3f\n", AnswerTag, ok ? 1 : 0, ms, peakMegabytes(), otherMs);
    std::fflush(stdout);
}

Result run(const QStringList &arguments)
{
    Result result;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit)
        return result;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        if (fields.size() == 5 && fields[0] == AnswerTag) {
            result.ok = fields[1] == "1";
            result.ms = fields[2].toDouble();
            result.peakMB = fields[3].toDouble();
            result.otherMs = fields[4].toDouble();
        }
    }
    return result;
}

} // namespace ChildMeasure

#pragma once

#include <QString>
#include <QStringList>

// Measures in a fresh process of this program, so that the peak memory of
// one measure never includes another's (or the parent's inputs) and every
// measure starts with memory the process has not touched yet.
namespace ChildMeasure {

struct Result
{
    bool ok = false;
    // Time of the measured work (the child decides what that is).
    double ms = 0;
    // Peak resident memory of the whole child process.
    double peakMB = 0;
    // A second time some children measure (a baseline in the same process).
    double otherMs = 0;
};

// Runs this program with the arguments and reads the answer line it prints.
Result run(const QStringList &arguments);

// Prints the answer line of a child: whether the work succeeded, its times
// and the process's peak resident memory so far.
void answer(bool ok, double ms, double otherMs = 0);

// Peak resident memory of this process so far (VmHWM), in MB.
double peakMegabytes();

} // namespace ChildMeasure

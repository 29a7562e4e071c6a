#pragma once

#include <QByteArray>
#include <QList>

// What every fuzz target defines, in one source file of its own:
//
//   int fuzzOne(const QByteArray &input);
//     Calls the reader as the program does and then uses what it built. A
//     clean failure of the reader is a normal outcome: return 0. A crash, a
//     sanitizer report or a failed FuzzCheck ends the process, which libFuzzer
//     keeps as a finding and the replay test reports as a failure.
//
//   QList<QByteArray> fuzzSeeds();
//     Valid inputs made by code (the test builders), from which fuzzing
//     starts; the replay test runs them too.
int fuzzOne(const QByteArray &input);
QList<QByteArray> fuzzSeeds();

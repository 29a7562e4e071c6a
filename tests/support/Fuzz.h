#pragma once

#include <QByteArray>
#include <QRandomGenerator>

#include <functional>

// Robustness drivers for readers: the reader under test is called on damaged
// copies of a valid file and must return (success or a clean failure). A crash,
// hang or sanitizer report fails the test executable.
namespace Fuzz {

// Every prefix of the file; for large files a stride keeps the count near 4096.
inline void truncations(const QByteArray &valid, const std::function<void(const QByteArray &)> &load)
{
    const int stride = qMax(1, valid.size() / 4096);
    for (int n = 0; n < valid.size(); n += stride)
        load(valid.left(n));
}

// `count` copies with one to four bytes replaced, from a fixed seed so that a
// failure reproduces.
inline void byteFlips(const QByteArray &valid, int count, quint32 seed,
                      const std::function<void(const QByteArray &)> &load)
{
    if (valid.isEmpty())
        return;
    QRandomGenerator rng(seed);
    for (int i = 0; i < count; ++i) {
        QByteArray copy = valid;
        const int flips = 1 + int(rng.bounded(4));
        for (int f = 0; f < flips; ++f) {
            const int at = int(rng.bounded(copy.size()));
            // Favour the values that make counts and offsets extreme.
            static const char extremes[] = {'\0', '\x7f', '\x80', '\xff'};
            copy[at] = rng.bounded(2) ? extremes[rng.bounded(4)] : char(rng.bounded(256));
        }
        load(copy);
    }
}

} // namespace Fuzz

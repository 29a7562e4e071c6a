#pragma once

#include <QElapsedTimer>

// Decides which steps of a long operation a progress dialog shows. Showing a
// step processes events, which costs far more than a small item: counting
// every one of 200,000 entities would take longer than the work itself. A
// step is shown when it is the first, a restart (lower than the last shown, or
// a new maximum), the last (at the maximum), a new percent, or when
// IntervalMs have passed since the last one shown; so at most about 100 plus
// a few dozen a second, and the dialog still answers Cancel that often.
class CProgressThrottle
{
public:
    static constexpr qint64 IntervalMs = 30;

    // True when `value` out of `maximum` should reach the dialog now.
    bool due(int value, int maximum);
    // The same at a time given in milliseconds (any fixed origin).
    bool dueAt(int value, int maximum, qint64 nowMs);

private:
    static int percent(int value, int maximum);

    QElapsedTimer m_clock;
    bool m_started = false;
    int m_value = 0;
    int m_maximum = 0;
    qint64 m_shownAt = 0;
};
